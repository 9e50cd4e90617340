#ifndef TONVERA_CONSTANTS_H
#define TONVERA_CONSTANTS_H

#include <cstdint>
#include <vector>

namespace Tonvera {

// Band layout: 72 equal-tempered semitone bands over six octaves; band
// b = 12 * octave + semitone, semitone 0 a C. Band 0 is C at 32.70 Hz,
// band 45 is A at 440 Hz, band 71 is B at 1975.53 Hz.
constexpr std::uint32_t BANDS = 72;
constexpr std::uint32_t OCTAVES = 6;
constexpr std::uint32_t SEMITONES = 12;

extern const double FREQUENCIES[BANDS];
extern const double OCTAVE_WEIGHTS[OCTAVES];
// Indexed by semitones above the tonic.
extern const double MAJOR_PROFILE[SEMITONES];
extern const double MINOR_PROFILE[SEMITONES];

// Centre frequency of a band; throws Exception for band >= 72.
double getFrequencyOfBand(std::uint32_t band);
// The centre frequency of band 71.
double getLastFrequency();

// The 12-value templates spread over the 72 bands, weighted per octave:
// element 12 * o + s = PROFILE[s] * OCTAVE_WEIGHTS[o]. Built once, safely
// even when first asked for from several threads; the same vector every call.
const std::vector<double>& toneProfileMajor();
const std::vector<double>& toneProfileMinor();

} // namespace Tonvera

#endif
