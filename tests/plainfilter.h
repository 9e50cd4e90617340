#ifndef TONVERA_TESTS_PLAINFILTER_H
#define TONVERA_TESTS_PLAINFILTER_H

// The low-pass filter's delay-line steps transcribed literally, through the
// audio buffer's cursors: the yardstick for the fast filter.

#include <cstdint>
#include <vector>

#include "audiodata.h"

inline void plainFilter(Tonvera::AudioData& audio, const std::vector<double>& coefficients,
                        double coefficientSum, std::uint32_t factor) {
  const std::uint32_t taps = static_cast<std::uint32_t>(coefficients.size());
  const std::uint32_t groupDelay = (taps - 1) / 2;
  std::vector<double> delayLine(taps, 0.0);
  const std::uint32_t n = audio.getSampleCount();
  audio.resetIterators();
  std::uint32_t p = 0;
  for (std::uint64_t i = 0; i < static_cast<std::uint64_t>(n) + groupDelay; ++i) {
    const std::uint32_t slot = p;
    p = (p + 1) % taps;
    if (audio.readIteratorWithinUpperBound()) {
      delayLine[slot] = audio.getSampleAtReadIterator() / coefficientSum;
      audio.advanceReadIterator(1);
    } else {
      delayLine[slot] = 0.0;
    }
    if (i >= groupDelay && (i - groupDelay) % factor == 0) {
      double y = 0.0;
      for (std::uint32_t k = 0; k < taps; ++k) y += coefficients[k] * delayLine[(p + k) % taps];
      audio.setSampleAtWriteIterator(y);
      audio.advanceWriteIterator(factor);
    }
  }
}

#endif
