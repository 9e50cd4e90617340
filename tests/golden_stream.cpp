// golden_stream INDEX: writes golden case INDEX's stream to stdout, for
// making the expected reports with another build of the tool.

#include <cstdio>
#include <cstdlib>

#include "golden_cases.h"
#include "signals.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const GoldenCase& c = GOLDEN_CASES[std::atoi(argv[1])];
  const std::vector<float> stream = testing_signals::goldenStream(c.rate, c.segmentLength, c.segments, c.seed);
  return std::fwrite(stream.data(), sizeof(float), stream.size(), stdout) == stream.size() ? 0 : 1;
}
