// genstream RATE SEGMENT_SECONDS SEGMENTS > stream.f32
// A stream of SEGMENTS segments, each a four-chord cadence in a different key.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: genstream RATE SEGMENT_SECONDS SEGMENTS\n");
    return 2;
  }
  const int rate = std::atoi(argv[1]);
  const int seconds = std::atoi(argv[2]);
  const int segments = std::atoi(argv[3]);
  const std::size_t length = static_cast<std::size_t>(rate) * static_cast<std::size_t>(seconds);
  std::vector<float> segment(length);
  const double pi = 3.14159265358979323846;
  for (int s = 0; s < segments; ++s) {
    const int tonic = 55 + (s * 7) % 12;
    const int chords[4][3] = {{0, 4, 7}, {5, 9, 12}, {7, 11, 14}, {0, 4, 7}};
    for (std::size_t i = 0; i < length; ++i) {
      const int* chord = chords[std::min<std::size_t>(3, i * 4 / length)];
      double v = 0.0;
      for (int n = 0; n < 3; ++n) {
        const double f = 440.0 * std::pow(2.0, (tonic + chord[n] - 69) / 12.0);
        v += std::sin(2.0 * pi * f * static_cast<double>(i) / rate) +
             0.5 * std::sin(4.0 * pi * f * static_cast<double>(i) / rate);
      }
      segment[i] = static_cast<float>(0.1 * v);
    }
    if (std::fwrite(segment.data(), sizeof(float), length, stdout) != length) return 1;
  }
  return 0;
}
