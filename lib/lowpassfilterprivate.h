#ifndef TONVERA_LOWPASSFILTERPRIVATE_H
#define TONVERA_LOWPASSFILTERPRIVATE_H

// Internal: the design and the arithmetic behind LowPassFilter.

#include <cstdint>
#include <vector>

#include "filterkernel.h"

namespace Tonvera {

class AudioData;
class Workspace;

class LowPassFilterPrivate {
public:
  LowPassFilterPrivate(std::uint32_t order, std::uint32_t frameRate, double cornerFrequency,
                       std::uint32_t fftFrameSize);

  void filter(AudioData& audio, Workspace& workspace, std::uint32_t decimationFactor) const;
  // The same with a chosen instruction-set build of the inner loop; every
  // level gives the same numbers.
  void filter(AudioData& audio, Workspace& workspace, std::uint32_t decimationFactor,
              detail::KernelLevel level) const;
  // filter() followed by AudioData::downsample(decimationFactor, true), in one
  // pass that computes the kept outputs straight into the decimated buffer.
  void filterAndDecimate(AudioData& audio, Workspace& workspace,
                         std::uint32_t decimationFactor) const;
  void filterAndDecimate(AudioData& audio, Workspace& workspace, std::uint32_t decimationFactor,
                         detail::KernelLevel level) const;

  void checkFilterCall(const AudioData& audio, std::uint32_t decimationFactor) const;
  template <typename Sink>
  void keptOutputs(AudioData& audio, Workspace& workspace, std::uint32_t decimationFactor,
                   detail::KernelLevel level, Sink sink) const;

  std::uint32_t order;
  std::uint32_t groupDelay;
  std::uint32_t tapCount;
  double coefficientSum;
  std::vector<double> coefficients;
};

} // namespace Tonvera

#endif
