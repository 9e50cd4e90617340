#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audiodata.h"
#include "chromagram.h"
#include "chromatransform.h"
#include "chromatransformfactory.h"
#include "expect.h"
#include "fftadapter.h"
#include "signals.h"
#include "spectrumanalyser.h"
#include "temporalwindowfactory.h"

using namespace Tonvera;

namespace {

struct Analysis {
  ChromaTransformFactory transforms;
  TemporalWindowFactory windows;
  FftAdapter fft{16384};
  std::unique_ptr<Chromagram> run(AudioData& audio, std::uint32_t rate = 4410) {
    const SpectrumAnalyser analyser(rate, &transforms, &windows);
    return analyser.chromagramOfWholeFrames(audio, &fft);
  }
};

AudioData monoOf(const std::vector<double>& values, std::uint32_t rate = 4410) {
  return testing_signals::audioOf(values, rate);
}

} // namespace

TEST(SpectrumAnalyser, OneHopPerWholeFrame) {
  Analysis analysis;
  const std::pair<std::uint32_t, std::uint32_t> cases[] = {
      {0, 0}, {16383, 0}, {16384, 1}, {20479, 1}, {20480, 2}, {16384 + 4096 * 5 + 17, 6}};
  for (const auto& c : cases) {
    AudioData zeros = monoOf(std::vector<double>(c.first, 0.0));
    const auto chromagram = analysis.run(zeros);
    EXPECT_EQ(chromagram->getHops(), c.second) << c.first;
    for (std::uint32_t h = 0; h < chromagram->getHops(); ++h)
      for (std::uint32_t b = 0; b < 72; ++b) EXPECT_EQ(chromagram->getMagnitude(h, b), 0.0);
    EXPECT_EQ(zeros.getSampleCount(), c.first);
  }
}

TEST(SpectrumAnalyser, RefusesAudioThatIsNotMono) {
  Analysis analysis;
  for (std::uint32_t channels : {0u, 2u}) {
    AudioData audio;
    if (channels) audio.setChannels(channels);
    audio.addToSampleCount(100);
    EXPECT_EQ(thrownMessage([&] { analysis.run(audio); }), "Audio must be monophonic to be analysed");
  }
  EXPECT_EQ(thrownMessage([&] { SpectrumAnalyser a(3000, &analysis.transforms, &analysis.windows); }),
            "Analysis frequencies over Nyquist");
}

TEST(SpectrumAnalyser, HopHoldsTheWindowedFrameAtItsOffset) {
  // Every hop equals the chroma vector of its own frame, computed the plain way.
  Analysis analysis;
  const std::vector<double> input = testing_signals::randomSamples(16384 + 4096 * 2 + 100, 3);
  AudioData audio = monoOf(input);
  const auto chromagram = analysis.run(audio);
  ASSERT_EQ(chromagram->getHops(), 3u);
  EXPECT_EQ(audio.getSampleCount(), input.size());

  const ChromaTransform* transform = analysis.transforms.getChromaTransform(4410);
  const std::vector<double>& window = *analysis.windows.getTemporalWindow(16384);
  FftAdapter plain(16384);
  for (std::uint32_t h = 0; h < 3; ++h) {
    for (std::uint32_t k = 0; k < 16384; ++k) plain.setInput(k, input[h * 4096 + k] * window[k]);
    plain.execute();
    const std::vector<double> chroma = transform->chromaVector(&plain);
    for (std::uint32_t b = 0; b < 72; ++b) EXPECT_EQ(chromagram->getMagnitude(h, b), chroma[b]);
  }
}

TEST(SpectrumAnalyser, SinusoidAtABandCentreWinsItsHop) {
  Analysis analysis;
  std::vector<double> tone(16384 + 4096);
  for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = std::sin(2.0 * testing_signals::PI * 440.0 * static_cast<double>(i) / 4410.0);
  AudioData audio = monoOf(tone);
  const auto chromagram = analysis.run(audio);
  for (std::uint32_t h = 0; h < chromagram->getHops(); ++h) {
    std::uint32_t best = 0;
    for (std::uint32_t b = 1; b < 72; ++b)
      if (chromagram->getMagnitude(h, b) > chromagram->getMagnitude(h, best)) best = b;
    EXPECT_EQ(best, 45u);
  }
}
