#ifndef TONVERA_TESTS_SIGNALS_H
#define TONVERA_TESTS_SIGNALS_H

// Synthetic test signals.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "audiodata.h"

namespace testing_signals {

constexpr double PI = 3.14159265358979323846;

inline double midiToHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Notes (MIDI numbers) sounding together, each with a few decaying harmonics.
inline std::vector<float> chord(const std::vector<int>& notes, std::uint32_t rate,
                                std::uint32_t samples, double amplitude = 0.1) {
  std::vector<float> out(samples, 0.0f);
  for (int note : notes) {
    const double f = midiToHz(note);
    for (int h = 1; h <= 4; ++h) {
      if (f * h >= rate / 2.0) break;
      const double w = 2.0 * PI * f * h / rate;
      const double a = amplitude / h;
      for (std::uint32_t i = 0; i < samples; ++i)
        out[i] += static_cast<float>(a * std::sin(w * i));
    }
  }
  return out;
}

// A cadence I-IV-V-I in the key whose tonic is the given MIDI note, major or
// minor (harmonic minor: the V chord is major).
inline std::vector<float> cadence(int tonic, bool minor, std::uint32_t rate, std::uint32_t samples) {
  const int third = minor ? 3 : 4;
  const std::vector<std::vector<int>> chords = {
      {tonic, tonic + third, tonic + 7, tonic - 12},
      {tonic + 5, tonic + 5 + (minor ? 3 : 4), tonic + 12, tonic - 7},
      {tonic + 7, tonic + 11, tonic + 14, tonic - 5},
      {tonic, tonic + third, tonic + 7, tonic - 12},
  };
  std::vector<float> out;
  out.reserve(samples);
  const std::uint32_t part = samples / 4;
  for (std::size_t c = 0; c < chords.size(); ++c) {
    const std::uint32_t n = c + 1 == chords.size() ? samples - 3 * part : part;
    const std::vector<float> piece = chord(chords[c], rate, n);
    out.insert(out.end(), piece.begin(), piece.end());
  }
  return out;
}

inline std::string bytesOf(const std::vector<float>& samples) {
  std::string bytes(samples.size() * sizeof(float), '\0');
  std::memcpy(&bytes[0], samples.data(), bytes.size());
  return bytes;
}

// A buffer of the given samples (float or double), built through the public
// operations.
template <typename Sample>
Tonvera::AudioData audioOf(const std::vector<Sample>& samples, std::uint32_t rate,
                           std::uint32_t channels = 1) {
  Tonvera::AudioData audio;
  audio.setFrameRate(rate);
  audio.setChannels(channels);
  audio.addToSampleCount(static_cast<std::uint32_t>(samples.size()));
  for (std::size_t i = 0; i < samples.size(); ++i)
    audio.setSample(static_cast<std::uint32_t>(i), static_cast<double>(samples[i]));
  return audio;
}

inline std::vector<double> samplesOf(const Tonvera::AudioData& audio) {
  std::vector<double> out;
  for (std::uint32_t i = 0; i < audio.getSampleCount(); ++i) out.push_back(audio.getSample(i));
  return out;
}

inline std::vector<double> randomSamples(std::size_t n, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> distribution(-1.0, 1.0);
  std::vector<double> out(n);
  for (double& v : out) v = distribution(generator);
  return out;
}

// A stream for the golden reports: each segment a cadence in its own key with
// a little deterministic noise, so that every score is exercised.
inline std::vector<float> goldenStream(std::uint32_t rate, std::uint32_t segmentLength,
                                       std::uint32_t segments, std::uint32_t seed) {
  std::vector<float> out;
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::uint32_t s = 0; s < segments; ++s) {
    const int tonic = 48 + static_cast<int>((seed * 5 + s * 7) % 24);
    std::vector<float> piece = cadence(tonic, (seed + s) % 2 == 1, rate, segmentLength);
    for (float& v : piece) {
      state = state * 1664525u + 1013904223u;
      v += static_cast<float>((static_cast<double>(state >> 8) / 16777216.0 - 0.5) * 0.02);
    }
    out.insert(out.end(), piece.begin(), piece.end());
  }
  return out;
}

} // namespace testing_signals

#endif
