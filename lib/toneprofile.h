#ifndef TONVERA_TONEPROFILE_H
#define TONVERA_TONEPROFILE_H

#include <cstdint>
#include <vector>

#include "binode.h"

namespace Tonvera {

// A 72-value key template held as six rings of twelve semitones, one ring per
// octave, so that turning the template by a number of semitones is a walk
// around each ring. Immutable after construction; cosineSimilarity may run
// from several threads at once.
class ToneProfile {
public:
  // Throws Exception unless the profile holds exactly 72 values.
  explicit ToneProfile(const std::vector<double>& profile);
  ~ToneProfile();
  ToneProfile(const ToneProfile&) = delete;
  ToneProfile& operator=(const ToneProfile&) = delete;

  // Cosine similarity of a 72-band chroma vector with the profile turned by
  // offset semitones: band 12o + k meets element 12o + ((k + 3 - offset) mod
  // 12), so offset r puts the tonic on the pitch class r + 9 semitones above
  // C. A negative offset counts as 0. Returns 0 when either vector has no
  // energy (or a non-number). Throws Exception unless input holds 72 values.
  double cosineSimilarity(const std::vector<double>& input, std::int32_t offset) const;

private:
  void free();

  // The entry node of each octave's ring is element 12o + 3.
  std::vector<Binode<double>*> ringEntries;
};

} // namespace Tonvera

#endif
