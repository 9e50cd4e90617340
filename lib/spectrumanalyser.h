#ifndef TONVERA_SPECTRUMANALYSER_H
#define TONVERA_SPECTRUMANALYSER_H

#include <cstdint>
#include <memory>
#include <vector>

namespace Tonvera {

class AudioData;
class Chromagram;
class ChromaTransform;
class ChromaTransformFactory;
class FftAdapter;
class TemporalWindowFactory;

// Cuts mono audio into 16384-sample frames every 4096 samples, windows each
// with the Blackman window, transforms it and maps it onto 72 bands: one
// chromagram hop per whole frame. Samples after the last whole frame are left
// for the caller. Borrows its transform and window from the facade's caches
// and must not outlive them; keeps no state between calls.
class SpectrumAnalyser {
public:
  static constexpr std::uint32_t FRAME_SIZE = 16384;
  static constexpr std::uint32_t HOP_SIZE = 4096;

  SpectrumAnalyser(std::uint32_t frameRate, ChromaTransformFactory* chromaTransformFactory,
                   TemporalWindowFactory* temporalWindowFactory);

  // fft must be a forward adapter of 16384 points. Throws Exception for audio
  // that does not have exactly one channel, before anything else.
  std::unique_ptr<Chromagram> chromagramOfWholeFrames(AudioData& audio, FftAdapter* fft) const;

private:
  const ChromaTransform* chromaTransform;
  const std::vector<double>* temporalWindow;
};

} // namespace Tonvera

#endif
