#ifndef TONVERA_CHROMATRANSFORMFACTORY_H
#define TONVERA_CHROMATRANSFORMFACTORY_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "appendonlylist.h"
#include "chromatransform.h"

namespace Tonvera {

// Cache of chroma transforms keyed by frame rate, built on first request and
// kept, unchanged, until the factory is destroyed. Safe to use from several
// threads: a hit takes no lock; a miss builds under creationMutex, so each
// rate is built once. A rejected rate throws every time and adds nothing.
class ChromaTransformFactory {
public:
  class ChromaTransformWrapper {
  public:
    ChromaTransformWrapper(std::uint32_t frameRate, std::unique_ptr<const ChromaTransform> transform);
    const ChromaTransform* getChromaTransform() const { return chromaTransform.get(); }
    std::uint32_t getFrameRate() const { return frameRate; }

  private:
    std::uint32_t frameRate;
    std::unique_ptr<const ChromaTransform> chromaTransform;
  };

  ChromaTransformFactory() = default;
  ChromaTransformFactory(const ChromaTransformFactory&) = delete;
  ChromaTransformFactory& operator=(const ChromaTransformFactory&) = delete;

  const ChromaTransform* getChromaTransform(std::uint32_t frameRate);
  std::size_t getEntryCount() const { return wrappers.size(); }

private:
  const ChromaTransformWrapper* find(std::uint32_t frameRate) const;

  detail::AppendOnlyList<ChromaTransformWrapper> wrappers;
  std::mutex creationMutex;
};

} // namespace Tonvera

#endif
