#include "chromatransformfactory.h"

namespace Tonvera {

ChromaTransformFactory::ChromaTransformWrapper::ChromaTransformWrapper(
    std::uint32_t rate, std::unique_ptr<const ChromaTransform> transform)
    : frameRate(rate), chromaTransform(std::move(transform)) {}

const ChromaTransformFactory::ChromaTransformWrapper*
ChromaTransformFactory::find(std::uint32_t frameRate) const {
  return wrappers.find(
      [frameRate](const ChromaTransformWrapper& w) { return w.getFrameRate() == frameRate; });
}

const ChromaTransform* ChromaTransformFactory::getChromaTransform(std::uint32_t frameRate) {
  if (const ChromaTransformWrapper* hit = find(frameRate)) return hit->getChromaTransform();
  std::lock_guard<std::mutex> lock(creationMutex);
  // Another thread may have built it while this one waited for the lock.
  if (const ChromaTransformWrapper* hit = find(frameRate)) return hit->getChromaTransform();
  auto transform = std::make_unique<const ChromaTransform>(frameRate);
  return wrappers
      .append(std::make_unique<ChromaTransformWrapper>(frameRate, std::move(transform)))
      ->getChromaTransform();
}

} // namespace Tonvera
