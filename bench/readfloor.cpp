// readfloor SEGMENT < stream.f32
// Reads a stream the way the tool does, one segment per read, and tests every
// float's bit pattern for finiteness: the cost of input alone.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::size_t length = static_cast<std::size_t>(std::atoi(argv[1]));
  std::vector<float> buffer(length);
  std::size_t segments = 0, nonFinite = 0;
  for (;;) {
    std::cin.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(length * 4));
    if (static_cast<std::size_t>(std::cin.gcount()) != length * 4) break;
    for (float f : buffer) {
      std::uint32_t bits;
      std::memcpy(&bits, &f, 4);
      nonFinite += (bits & 0x7fffffffu) > 0x7f7fffffu;
    }
    ++segments;
  }
  std::printf("%zu segments, %zu non-finite\n", segments, nonFinite);
  return 0;
}
