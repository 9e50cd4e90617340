#ifndef TONVERA_LOWPASSFILTERPRIVATE_H
#define TONVERA_LOWPASSFILTERPRIVATE_H

// Internal: the design and the arithmetic behind LowPassFilter.

#include <cstdint>
#include <vector>

namespace Tonvera {

class AudioData;
class Workspace;

class LowPassFilterPrivate {
public:
  LowPassFilterPrivate(std::uint32_t order, std::uint32_t frameRate, double cornerFrequency,
                       std::uint32_t fftFrameSize);

  void filter(AudioData& audio, Workspace& workspace, std::uint32_t decimationFactor) const;

  std::uint32_t order;
  std::uint32_t groupDelay;
  std::uint32_t tapCount;
  double coefficientSum;
  std::vector<double> coefficients;
};

} // namespace Tonvera

#endif
