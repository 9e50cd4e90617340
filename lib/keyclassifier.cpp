#include "keyclassifier.h"

#include "constants.h"
#include "exception.h"

namespace Tonvera {

KeyClassifier::KeyClassifier(const std::vector<double>& majorValues,
                             const std::vector<double>& minorValues) {
  if (majorValues.size() != BANDS) throw Exception("Tone profile must have 72 elements");
  if (minorValues.size() != BANDS) throw Exception("Tone profile must have 72 elements");
  majorProfile = std::make_unique<ToneProfile>(majorValues);
  minorProfile = std::make_unique<ToneProfile>(minorValues);
  silenceProfile = std::make_unique<ToneProfile>(std::vector<double>(BANDS, 0.0));
}

KeyClassifier::~KeyClassifier() {
  majorProfile.reset();
  minorProfile.reset();
  silenceProfile.reset();
}

musical_key_t KeyClassifier::classify(const std::vector<double>& chroma) const {
  double scores[24] = {};
  for (std::int32_t r = 0; r < 12; ++r) {
    scores[2 * r] = majorProfile->cosineSimilarity(chroma, r);
    scores[2 * r + 1] = minorProfile->cosineSimilarity(chroma, r);
  }
  double best = silenceProfile->cosineSimilarity(chroma, 0);
  int result = KEY_SILENCE;
  for (int j = 0; j < 24; ++j) {
    if (scores[j] > best) {
      best = scores[j];
      result = j;
    }
  }
  return static_cast<musical_key_t>(result);
}

} // namespace Tonvera
