#include "lowpassfilterfactory.h"

namespace Tonvera {

LowPassFilterFactory::LowPassFilterWrapper::LowPassFilterWrapper(
    std::uint32_t designOrder, std::uint32_t rate, double corner, std::uint32_t size,
    std::unique_ptr<const LowPassFilter> filter)
    : order(designOrder), frameRate(rate), cornerFrequency(corner), fftFrameSize(size),
      lowPassFilter(std::move(filter)) {}

const LowPassFilterFactory::LowPassFilterWrapper*
LowPassFilterFactory::find(std::uint32_t order, std::uint32_t frameRate, double cornerFrequency,
                           std::uint32_t fftFrameSize) const {
  return wrappers.find([&](const LowPassFilterWrapper& w) {
    return w.getOrder() == order && w.getFrameRate() == frameRate &&
           w.getCornerFrequency() == cornerFrequency && w.getFftFrameSize() == fftFrameSize;
  });
}

const LowPassFilter* LowPassFilterFactory::getLowPassFilter(std::uint32_t order,
                                                            std::uint32_t frameRate,
                                                            double cornerFrequency,
                                                            std::uint32_t fftFrameSize) {
  if (const LowPassFilterWrapper* hit = find(order, frameRate, cornerFrequency, fftFrameSize))
    return hit->getLowPassFilter();
  std::lock_guard<std::mutex> lock(creationMutex);
  // Another thread may have designed it while this one waited for the lock.
  if (const LowPassFilterWrapper* hit = find(order, frameRate, cornerFrequency, fftFrameSize))
    return hit->getLowPassFilter();
  auto filter = std::make_unique<const LowPassFilter>(order, frameRate, cornerFrequency, fftFrameSize);
  return wrappers
      .append(std::make_unique<LowPassFilterWrapper>(order, frameRate, cornerFrequency, fftFrameSize,
                                                     std::move(filter)))
      ->getLowPassFilter();
}

} // namespace Tonvera
