#ifndef TONVERA_KEYCLASSIFIER_H
#define TONVERA_KEYCLASSIFIER_H

#include <memory>
#include <vector>

#include "toneprofile.h"

namespace Tonvera {

// Key numbers: 2 * r + m for the similarity offset r (tonic r + 9 semitones
// above C) and mode m (0 major, 1 minor); 24 when no key is found.
enum musical_key_t : int {
  KEY_A_MAJOR = 0,
  KEY_A_MINOR = 1,
  KEY_B_FLAT_MAJOR = 2,
  KEY_B_FLAT_MINOR = 3,
  KEY_B_MAJOR = 4,
  KEY_B_MINOR = 5,
  KEY_C_MAJOR = 6,
  KEY_C_MINOR = 7,
  KEY_D_FLAT_MAJOR = 8,
  KEY_D_FLAT_MINOR = 9,
  KEY_D_MAJOR = 10,
  KEY_D_MINOR = 11,
  KEY_E_FLAT_MAJOR = 12,
  KEY_E_FLAT_MINOR = 13,
  KEY_E_MAJOR = 14,
  KEY_E_MINOR = 15,
  KEY_F_MAJOR = 16,
  KEY_F_MINOR = 17,
  KEY_G_FLAT_MAJOR = 18,
  KEY_G_FLAT_MINOR = 19,
  KEY_G_MAJOR = 20,
  KEY_G_MINOR = 21,
  KEY_A_FLAT_MAJOR = 22,
  KEY_A_FLAT_MINOR = 23,
  KEY_SILENCE = 24,
};

// Scores a chroma vector against a major and a minor profile at all twelve
// turns and returns the first highest score's key, or KEY_SILENCE when no
// score is above 0. Not copied; one thread at a time.
class KeyClassifier {
public:
  // Throws Exception unless both profiles hold exactly 72 values.
  KeyClassifier(const std::vector<double>& majorValues, const std::vector<double>& minorValues);
  ~KeyClassifier();
  KeyClassifier(const KeyClassifier&) = delete;
  KeyClassifier& operator=(const KeyClassifier&) = delete;

  musical_key_t classify(const std::vector<double>& chroma) const;

private:
  std::unique_ptr<ToneProfile> majorProfile;
  std::unique_ptr<ToneProfile> minorProfile;
  std::unique_ptr<ToneProfile> silenceProfile;
};

} // namespace Tonvera

#endif
