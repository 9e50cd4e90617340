#ifndef TONVERA_TESTS_GOLDEN_CASES_H
#define TONVERA_TESTS_GOLDEN_CASES_H

#include <cstdint>

// Streams whose reports are checked against reports made by the first,
// plain implementation (one delay-line step and one cursor move per sample).
struct GoldenCase {
  std::uint32_t rate, segmentLength, segments, seed;
};

constexpr GoldenCase GOLDEN_CASES[] = {
    {8000, 24000, 3, 1},   {8000, 24007, 2, 2},   {11025, 33075, 2, 3},  {16000, 48000, 2, 4},
    {22050, 66150, 3, 5},  {32000, 96000, 2, 6},  {44100, 132300, 3, 7}, {44100, 132305, 2, 8},
    {47999, 143997, 2, 9}, {48000, 144000, 3, 10}, {48000, 144011, 2, 11},
};

#endif
