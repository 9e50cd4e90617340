#ifndef TONVERA_CLI_STANDARDINPUT_H
#define TONVERA_CLI_STANDARDINPUT_H

#include <streambuf>

namespace TonveraCli {

// A stream buffer over a file descriptor that tells a read error from the end
// of input: a failing read throws, which the reading stream turns into its
// bad state, while the end of input is an ordinary short read. Large reads go
// straight to the descriptor.
class DescriptorInputBuffer : public std::streambuf {
public:
  explicit DescriptorInputBuffer(int descriptor);

protected:
  int_type underflow() override;
  std::streamsize xsgetn(char* s, std::streamsize n) override;

private:
  std::streamsize readSome(char* s, std::streamsize n);

  int descriptor;
  char buffer[4096];
};

} // namespace TonveraCli

#endif
