#ifndef TONVERA_LOWPASSFILTERFACTORY_H
#define TONVERA_LOWPASSFILTERFACTORY_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "appendonlylist.h"
#include "lowpassfilter.h"

namespace Tonvera {

// Cache of designed low-pass filters keyed by all four design parameters,
// matched exactly (a NaN corner frequency never matches). Filters handed out
// never change and stay valid until the factory is destroyed. Safe to use
// from several threads: a hit takes no lock; a miss designs under
// creationMutex (and, inside it, the FFT planner's mutex), so each key is
// designed once. A failed design adds nothing.
class LowPassFilterFactory {
public:
  class LowPassFilterWrapper {
  public:
    LowPassFilterWrapper(std::uint32_t order, std::uint32_t frameRate, double cornerFrequency,
                         std::uint32_t fftFrameSize, std::unique_ptr<const LowPassFilter> filter);
    std::uint32_t getOrder() const { return order; }
    std::uint32_t getFrameRate() const { return frameRate; }
    double getCornerFrequency() const { return cornerFrequency; }
    std::uint32_t getFftFrameSize() const { return fftFrameSize; }
    const LowPassFilter* getLowPassFilter() const { return lowPassFilter.get(); }

  private:
    std::uint32_t order;
    std::uint32_t frameRate;
    double cornerFrequency;
    std::uint32_t fftFrameSize;
    std::unique_ptr<const LowPassFilter> lowPassFilter;
  };

  LowPassFilterFactory() = default;
  LowPassFilterFactory(const LowPassFilterFactory&) = delete;
  LowPassFilterFactory& operator=(const LowPassFilterFactory&) = delete;

  const LowPassFilter* getLowPassFilter(std::uint32_t order, std::uint32_t frameRate,
                                        double cornerFrequency, std::uint32_t fftFrameSize);
  std::size_t getEntryCount() const { return wrappers.size(); }

private:
  const LowPassFilterWrapper* find(std::uint32_t order, std::uint32_t frameRate,
                                   double cornerFrequency, std::uint32_t fftFrameSize) const;

  detail::AppendOnlyList<LowPassFilterWrapper> wrappers;
  std::mutex creationMutex;
};

} // namespace Tonvera

#endif
