// Google Benchmark cases for the hot units. Each checks its own result so a
// broken build cannot report a fast time.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "chromatransformfactory.h"
#include "fftadapter.h"
#include "lowpassfilterfactory.h"
#include "signals.h"
#include "spectrumanalyser.h"
#include "temporalwindowfactory.h"
#include "tonvera.h"

using namespace Tonvera;

namespace {

AudioData tone(std::uint32_t rate, std::uint32_t seconds) {
  return testing_signals::audioOf(testing_signals::cadence(60, false, rate, rate * seconds), rate);
}

void BM_ForwardFft16384(benchmark::State& state) {
  FftAdapter fft(16384);
  const std::vector<double> x = testing_signals::randomSamples(16384, 1);
  for (std::uint32_t i = 0; i < 16384; ++i) fft.setInput(i, x[i]);
  for (auto _ : state) {
    fft.execute();
    benchmark::DoNotOptimize(fft.getOutputReal(1));
  }
}
BENCHMARK(BM_ForwardFft16384);

void BM_ChromaVector4410(benchmark::State& state) {
  ChromaTransformFactory factory;
  const ChromaTransform* transform = factory.getChromaTransform(4410);
  FftAdapter fft(16384);
  const std::vector<double> x = testing_signals::randomSamples(16384, 2);
  for (std::uint32_t i = 0; i < 16384; ++i) fft.setInput(i, x[i]);
  fft.execute();
  for (auto _ : state) benchmark::DoNotOptimize(transform->chromaVector(&fft));
}
BENCHMARK(BM_ChromaVector4410);

// One 60 s block at the given rate, filtered at its decimation factor.
void BM_Filter(benchmark::State& state) {
  const std::uint32_t rate = static_cast<std::uint32_t>(state.range(0));
  const std::uint32_t factor = static_cast<std::uint32_t>(std::floor((rate / 2) / (1975.5332050245 * 1.1)));
  LowPassFilterFactory factory;
  const LowPassFilter* filter = factory.getLowPassFilter(160, rate, 1975.5332050245 * 1.012, 2048);
  const AudioData input = tone(rate, 60);
  Workspace workspace;
  for (auto _ : state) {
    // Copying and freeing the block is the caller's cost, not the filter's.
    state.PauseTiming();
    auto audio = std::make_unique<AudioData>(input);
    state.ResumeTiming();
    filter->filter(*audio, workspace, factor);
    benchmark::DoNotOptimize(audio->getSample(0));
    state.PauseTiming();
    audio.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * input.getSampleCount());
}
BENCHMARK(BM_Filter)->Arg(44100)->Arg(48000)->Arg(8000)->Unit(benchmark::kMillisecond);

void BM_ChromagramOfWholeFrames(benchmark::State& state) {
  ChromaTransformFactory transforms;
  TemporalWindowFactory windows;
  const SpectrumAnalyser analyser(4410, &transforms, &windows);
  AudioData audio = tone(4410, 60);
  FftAdapter fft(16384);
  for (auto _ : state) {
    const auto chromagram = analyser.chromagramOfWholeFrames(audio, &fft);
    if (chromagram->getHops() != (audio.getSampleCount() - 16384) / 4096 + 1) throw std::logic_error("hops");
  }
}
BENCHMARK(BM_ChromagramOfWholeFrames)->Unit(benchmark::kMillisecond);

// One 60 s segment through a fresh workspace, as the tool does per segment.
void BM_SegmentProgressiveAndFinal(benchmark::State& state) {
  const std::uint32_t rate = static_cast<std::uint32_t>(state.range(0));
  Tonvera::Tonvera facade;
  const AudioData segment = tone(rate, 60);
  for (auto _ : state) {
    Workspace workspace;
    facade.progressiveChromagram(segment, workspace);
    facade.finalChromagram(workspace);
    if (facade.keyOfChromagram(workspace) != KEY_C_MAJOR) throw std::logic_error("key");
  }
}
BENCHMARK(BM_SegmentProgressiveAndFinal)->Arg(44100)->Arg(48000)->Arg(8000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
