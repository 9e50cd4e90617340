#include "spectrumanalyser.h"

#include <cmath>

#include "audiodata.h"
#include "chromagram.h"
#include "chromatransform.h"
#include "chromatransformfactory.h"
#include "constants.h"
#include "exception.h"
#include "fftadapter.h"
#include "temporalwindowfactory.h"

namespace Tonvera {

SpectrumAnalyser::SpectrumAnalyser(std::uint32_t frameRate,
                                   ChromaTransformFactory* chromaTransformFactory,
                                   TemporalWindowFactory* temporalWindowFactory)
    : chromaTransform(chromaTransformFactory->getChromaTransform(frameRate)),
      temporalWindow(temporalWindowFactory->getTemporalWindow(FRAME_SIZE)) {}

std::unique_ptr<Chromagram> SpectrumAnalyser::chromagramOfWholeFrames(AudioData& audio,
                                                                      FftAdapter* fft) const {
  if (audio.getChannels() != 1) throw Exception("Audio must be monophonic to be analysed");
  const std::uint32_t frameSize = fft->getFrameSize();
  const std::uint32_t sampleCount = audio.getSampleCount();
  if (sampleCount < frameSize) return std::make_unique<Chromagram>(0);
  if (frameSize != temporalWindow->size())
    throw Exception("FFT frame size must match the temporal window");

  const std::uint32_t lastHop = (sampleCount - frameSize) / HOP_SIZE;
  auto chromagram = std::make_unique<Chromagram>(lastHop + 1);
  double* input = fft->inputBuffer();
  const double* window = temporalWindow->data();
  for (std::uint32_t hop = 0; hop <= lastHop; ++hop) {
    audio.resetIterators();
    audio.advanceReadIterator(hop * HOP_SIZE);
    // Copy the frame once, then window it in place.
    audio.readSamplesAtReadIterator(input, frameSize);
    bool finite = true;
    for (std::uint32_t k = 0; k < frameSize; ++k) {
      input[k] = input[k] * window[k];
      finite &= std::isfinite(input[k]);
    }
    if (!finite) throw Exception("Cannot set sample to NaN");
    fft->execute();
    const std::vector<double> chroma = chromaTransform->chromaVector(fft);
    for (std::uint32_t band = 0; band < BANDS; ++band)
      chromagram->setMagnitude(hop, band, chroma[band]);
  }
  return chromagram;
}

} // namespace Tonvera
