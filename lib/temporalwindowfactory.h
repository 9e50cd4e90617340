#ifndef TONVERA_TEMPORALWINDOWFACTORY_H
#define TONVERA_TEMPORALWINDOWFACTORY_H

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "appendonlylist.h"

namespace Tonvera {

// Cache of Blackman windows, one per frame size, built on first request.
// Windows handed out never change and stay valid until the factory is
// destroyed. Safe to use from several threads: a hit takes no lock; a miss
// builds under creationMutex, so each frame size is built once.
class TemporalWindowFactory {
public:
  class TemporalWindowWrapper {
  public:
    explicit TemporalWindowWrapper(std::uint32_t frameSize);
    std::uint32_t getFrameSize() const { return static_cast<std::uint32_t>(temporalWindow.size()); }
    const std::vector<double>* getTemporalWindow() const { return &temporalWindow; }

  private:
    std::vector<double> temporalWindow;
  };

  TemporalWindowFactory() = default;
  TemporalWindowFactory(const TemporalWindowFactory&) = delete;
  TemporalWindowFactory& operator=(const TemporalWindowFactory&) = delete;

  const std::vector<double>* getTemporalWindow(std::uint32_t frameSize);
  std::size_t getEntryCount() const { return wrappers.size(); }

private:
  const TemporalWindowWrapper* find(std::uint32_t frameSize) const;

  detail::AppendOnlyList<TemporalWindowWrapper> wrappers;
  std::mutex creationMutex;
};

} // namespace Tonvera

#endif
