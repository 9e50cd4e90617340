#include "temporalwindowfactory.h"

#include <memory>

#include "windowfunction.h"

namespace Tonvera {

TemporalWindowFactory::TemporalWindowWrapper::TemporalWindowWrapper(std::uint32_t frameSize) {
  const WindowFunction windowFunction;
  temporalWindow.resize(frameSize);
  for (std::uint32_t n = 0; n < frameSize; ++n)
    temporalWindow[n] = windowFunction.window(TEMPORAL_WINDOW_BLACKMAN, static_cast<std::int32_t>(n),
                                              static_cast<std::int32_t>(frameSize));
}

const TemporalWindowFactory::TemporalWindowWrapper*
TemporalWindowFactory::find(std::uint32_t frameSize) const {
  return wrappers.find(
      [frameSize](const TemporalWindowWrapper& w) { return w.getFrameSize() == frameSize; });
}

const std::vector<double>* TemporalWindowFactory::getTemporalWindow(std::uint32_t frameSize) {
  if (const TemporalWindowWrapper* hit = find(frameSize)) return hit->getTemporalWindow();
  std::lock_guard<std::mutex> lock(creationMutex);
  // Another thread may have built it while this one waited for the lock.
  if (const TemporalWindowWrapper* hit = find(frameSize)) return hit->getTemporalWindow();
  return wrappers.append(std::make_unique<TemporalWindowWrapper>(frameSize))->getTemporalWindow();
}

} // namespace Tonvera
