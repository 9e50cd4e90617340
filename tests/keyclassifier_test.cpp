#include <gtest/gtest.h>

#include <vector>

#include "constants.h"
#include "expect.h"
#include "keyclassifier.h"

using namespace Tonvera;

namespace {

// 1 in the bands of the given pitch classes (0 = C) in every octave.
std::vector<double> pitchClasses(std::initializer_list<int> classes) {
  std::vector<double> chroma(72, 0.0);
  for (int o = 0; o < 6; ++o)
    for (int pc : classes) chroma[static_cast<std::size_t>(12 * o + pc)] = 1.0;
  return chroma;
}

} // namespace

TEST(KeyClassifier, ClassifiesTriadsAndProfiles) {
  const KeyClassifier classifier(toneProfileMajor(), toneProfileMinor());
  EXPECT_EQ(classifier.classify(pitchClasses({0, 4, 7})), KEY_C_MAJOR);
  EXPECT_EQ(classifier.classify(pitchClasses({9, 0, 4})), KEY_A_MINOR);
  EXPECT_EQ(classifier.classify(toneProfileMajor()), KEY_C_MAJOR);
  EXPECT_EQ(classifier.classify(std::vector<double>(72, 0.0)), KEY_SILENCE);
}

TEST(KeyClassifier, EveryTurnOfEachProfileNamesItsKey) {
  // Turning the C major profile up by t semitones gives the key 6 + 2t (mod 24).
  const KeyClassifier classifier(toneProfileMajor(), toneProfileMinor());
  for (const bool minor : {false, true}) {
    const std::vector<double>& profile = minor ? toneProfileMinor() : toneProfileMajor();
    for (int t = 0; t < 12; ++t) {
      std::vector<double> chroma(72);
      for (int o = 0; o < 6; ++o)
        for (int s = 0; s < 12; ++s)
          chroma[static_cast<std::size_t>(12 * o + (s + t) % 12)] = profile[static_cast<std::size_t>(12 * o + s)];
      EXPECT_EQ(classifier.classify(chroma), (6 + 2 * t) % 24 + (minor ? 1 : 0)) << t;
    }
  }
}

TEST(KeyClassifier, EqualScoresGoToTheLowestIndex) {
  // Identical major and minor profiles tie every major key with its minor.
  const KeyClassifier classifier(toneProfileMajor(), toneProfileMajor());
  EXPECT_EQ(classifier.classify(toneProfileMajor()), KEY_C_MAJOR);
  // A flat chroma scores the same at every turn: the first index wins.
  const KeyClassifier flat(std::vector<double>(72, 1.0), std::vector<double>(72, 1.0));
  EXPECT_EQ(flat.classify(std::vector<double>(72, 1.0)), KEY_A_MAJOR);
}

TEST(KeyClassifier, RefusesWrongSizes) {
  const std::vector<double> short71(71, 1.0);
  EXPECT_EQ(thrownMessage([&] { KeyClassifier(short71, toneProfileMinor()); }),
            "Tone profile must have 72 elements");
  EXPECT_EQ(thrownMessage([&] { KeyClassifier(toneProfileMajor(), short71); }),
            "Tone profile must have 72 elements");
  const KeyClassifier classifier(toneProfileMajor(), toneProfileMinor());
  EXPECT_EQ(thrownMessage([&] { classifier.classify(short71); }), "Chroma data must have 72 elements");
}
