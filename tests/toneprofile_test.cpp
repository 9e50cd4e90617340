#include <gtest/gtest.h>

#include <vector>

#include "constants.h"
#include "expect.h"
#include "toneprofile.h"

using namespace Tonvera;

TEST(ToneProfiles, ExpandedProfilesAreTemplateTimesOctaveWeight) {
  const std::vector<double>& major = toneProfileMajor();
  const std::vector<double>& minor = toneProfileMinor();
  ASSERT_EQ(major.size(), 72u);
  ASSERT_EQ(minor.size(), 72u);
  EXPECT_EQ(major[0], 7.239005026181452 * 0.3999726755);
  EXPECT_EQ(major[12], 7.239005026181452 * 0.5563442524830065);
  for (std::uint32_t o = 0; o < 6; ++o)
    for (std::uint32_t s = 0; s < 12; ++s) {
      EXPECT_EQ(major[12 * o + s], MAJOR_PROFILE[s] * OCTAVE_WEIGHTS[o]);
      EXPECT_EQ(minor[12 * o + s], MINOR_PROFILE[s] * OCTAVE_WEIGHTS[o]);
    }
  EXPECT_EQ(&toneProfileMajor(), &major);
  EXPECT_EQ(&toneProfileMinor(), &minor);
}

TEST(ToneProfile, SimilarityTurnsTheProfileBySemitones) {
  const ToneProfile profile(toneProfileMajor());
  const std::vector<double>& input = toneProfileMajor();
  EXPECT_NEAR(profile.cosineSimilarity(input, 3), 1.0, 1e-15);
  for (std::int32_t r = 0; r < 12; ++r)
    if (r != 3) {
      EXPECT_LT(profile.cosineSimilarity(input, r), profile.cosineSimilarity(input, 3));
    }
  EXPECT_NEAR(profile.cosineSimilarity(input, 0), 0.9035, 5e-5);
  EXPECT_EQ(profile.cosineSimilarity(input, -1), profile.cosineSimilarity(input, 0));
  EXPECT_EQ(profile.cosineSimilarity(input, 12), profile.cosineSimilarity(input, 0));
  EXPECT_EQ(profile.cosineSimilarity(input, 13), profile.cosineSimilarity(input, 1));
  EXPECT_EQ(profile.cosineSimilarity(input, 2147483647), profile.cosineSimilarity(input, 7));
}

TEST(ToneProfile, PairsBandWithElementKPlusThreeMinusOffset) {
  // A profile with a single nonzero element 12o + e meets input band 12o + k
  // where e = (k + 3 - offset) mod 12.
  for (std::int32_t offset = 0; offset < 12; ++offset) {
    std::vector<double> values(72, 0.0);
    values[12 * 2 + 5] = 1.0;
    const ToneProfile profile(values);
    const std::uint32_t k = static_cast<std::uint32_t>((5 - 3 + offset + 12) % 12);
    std::vector<double> input(72, 0.0);
    input[12 * 2 + k] = 2.0;
    EXPECT_EQ(profile.cosineSimilarity(input, offset), 1.0) << offset;
  }
}

TEST(ToneProfile, NoEnergyScoresZero) {
  const ToneProfile profile(toneProfileMinor());
  const ToneProfile zeros(std::vector<double>(72, 0.0));
  for (std::int32_t r = 0; r < 12; ++r) {
    EXPECT_EQ(profile.cosineSimilarity(std::vector<double>(72, 0.0), r), 0.0);
    EXPECT_EQ(zeros.cosineSimilarity(toneProfileMajor(), r), 0.0);
  }
  std::vector<double> nan(72, 1.0);
  nan[7] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(profile.cosineSimilarity(nan, 0), 0.0);
}

TEST(ToneProfile, SizesOtherThan72AreRefused) {
  const ToneProfile profile(toneProfileMajor());
  for (std::size_t n : {0, 71, 73}) {
    EXPECT_EQ(thrownMessage([&] { profile.cosineSimilarity(std::vector<double>(n, 1.0), 0); }),
              "Chroma data must have 72 elements");
    EXPECT_EQ(thrownMessage([&] { ToneProfile p(std::vector<double>(n, 1.0)); }),
              "Tone profile must have 72 elements");
  }
}
