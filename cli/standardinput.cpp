#include "standardinput.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ios>

namespace TonveraCli {

DescriptorInputBuffer::DescriptorInputBuffer(int fd) : descriptor(fd) { setg(buffer, buffer, buffer); }

std::streamsize DescriptorInputBuffer::readSome(char* s, std::streamsize n) {
  for (;;) {
    const ssize_t got = ::read(descriptor, s, static_cast<std::size_t>(n));
    if (got >= 0) return got;
    if (errno != EINTR) throw std::ios_base::failure("Cannot read standard input");
  }
}

DescriptorInputBuffer::int_type DescriptorInputBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  const std::streamsize got = readSome(buffer, sizeof buffer);
  setg(buffer, buffer, buffer + got);
  return got == 0 ? traits_type::eof() : traits_type::to_int_type(*gptr());
}

std::streamsize DescriptorInputBuffer::xsgetn(char* s, std::streamsize n) {
  std::streamsize done = 0;
  // Whatever underflow buffered comes first.
  const std::streamsize buffered = std::min<std::streamsize>(n, egptr() - gptr());
  std::memcpy(s, gptr(), static_cast<std::size_t>(buffered));
  gbump(static_cast<int>(buffered));
  done += buffered;
  while (done < n) {
    const std::streamsize got = readSome(s + done, n - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

} // namespace TonveraCli
