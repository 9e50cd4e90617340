#include "lowpassfilter.h"

#include "lowpassfilterprivate.h"

namespace Tonvera {

LowPassFilter::LowPassFilter(std::uint32_t order, std::uint32_t frameRate, double cornerFrequency,
                             std::uint32_t fftFrameSize)
    : priv(std::make_unique<LowPassFilterPrivate>(order, frameRate, cornerFrequency, fftFrameSize)) {}

LowPassFilter::~LowPassFilter() = default;

void LowPassFilter::filter(AudioData& audio, Workspace& workspace,
                           std::uint32_t decimationFactor) const {
  priv->filter(audio, workspace, decimationFactor);
}

void LowPassFilter::filterAndDecimate(AudioData& audio, Workspace& workspace,
                                      std::uint32_t decimationFactor) const {
  priv->filterAndDecimate(audio, workspace, decimationFactor);
}

const std::vector<double>* LowPassFilter::getCoefficients() const { return &priv->coefficients; }

} // namespace Tonvera
