#include "lowpassfilterprivate.h"

#include <algorithm>
#include <memory>

#include "audiodata.h"
#include "exception.h"
#include "fftadapter.h"
#include "windowfunction.h"
#include "workspace.h"

namespace Tonvera {

LowPassFilterPrivate::LowPassFilterPrivate(std::uint32_t designOrder, std::uint32_t frameRate,
                                           double cornerFrequency, std::uint32_t fftFrameSize)
    : order(0), groupDelay(0), tapCount(0), coefficientSum(0.0) {
  const std::uint32_t n = fftFrameSize;
  if (designOrder % 2 != 0) throw Exception("LPF order must be an even number");
  if (n / 4 < designOrder) throw Exception("LPF order must be <= FFT frame size / 4");
  // A single tap has a one-point window, which divides 0 by 0.
  if (designOrder == 0) throw Exception("LPF order must be > 0");
  if (frameRate == 0) throw Exception("LPF frame rate must be > 0");
  // An odd size leaves the middle bin of the design spectrum unset.
  if (n % 2 != 0) throw Exception("LPF FFT frame size must be an even number");

  order = designOrder;
  groupDelay = designOrder / 2;
  tapCount = designOrder | 1u;

  InverseFftAdapter ifft(n);
  const double cutoffPoint = cornerFrequency / static_cast<double>(frameRate);
  const double passbandLevel = 0.5 / cutoffPoint;
  for (std::uint32_t i = 0; i < n / 2; ++i) {
    const double binPosition = static_cast<double>(i) / static_cast<double>(n);
    const double level = binPosition <= cutoffPoint ? passbandLevel : 0.0;
    ifft.setInput(i, level, 0.0);
    ifft.setInput(n - 1 - i, level, 0.0);
  }
  ifft.execute();

  const WindowFunction windowFunction;
  coefficients.assign(tapCount, 0.0);
  coefficientSum = 0.0;
  for (std::uint32_t i = 0; i < tapCount; ++i) {
    const double h = ifft.getOutput((n - groupDelay + i) % n);
    const double w = windowFunction.window(TEMPORAL_WINDOW_HAMMING, static_cast<std::int32_t>(i),
                                           static_cast<std::int32_t>(tapCount));
    coefficients[i] = h * w;
    coefficientSum += h * w;
  }
  // Every input is divided by the sum; a design with no pass band (a corner
  // at or beyond the frequencies the grid can hold) would turn audio into
  // non-numbers.
  if (coefficientSum == 0.0) throw Exception("LPF coefficients must not sum to 0");
}

namespace {

// Kept outputs per block of work; the block's phases hold their inputs plus
// the filter's reach on both sides.
constexpr std::uint32_t OUTPUTS_PER_BLOCK = 1024;

} // namespace

void LowPassFilterPrivate::filter(AudioData& audio, Workspace& workspace,
                                  std::uint32_t decimationFactor) const {
  filter(audio, workspace, decimationFactor, detail::bestKernelLevel());
}

void LowPassFilterPrivate::filter(AudioData& audio, Workspace& workspace,
                                  std::uint32_t decimationFactor, detail::KernelLevel level) const {
  checkFilterCall(audio, decimationFactor);
  const std::uint32_t f = decimationFactor;
  keptOutputs(audio, workspace, f, level, [&](const double* outputs, std::uint32_t kept) {
    audio.writeSamplesAtWriteIterator(outputs, kept, f);
  });
}

void LowPassFilterPrivate::filterAndDecimate(AudioData& audio, Workspace& workspace,
                                             std::uint32_t decimationFactor) const {
  filterAndDecimate(audio, workspace, decimationFactor, detail::bestKernelLevel());
}

void LowPassFilterPrivate::filterAndDecimate(AudioData& audio, Workspace& workspace,
                                             std::uint32_t decimationFactor,
                                             detail::KernelLevel level) const {
  checkFilterCall(audio, decimationFactor);
  const std::uint32_t f = decimationFactor;
  // The decimation's own test, made before anything is changed.
  if (f > 1 && audio.frameRate / f == 0) throw Exception("New frame rate must be > 0");
  AudioData decimated;
  decimated.channels = audio.channels;
  decimated.frameRate = f > 1 ? audio.frameRate / f : audio.frameRate;
  keptOutputs(audio, workspace, f, level, [&](const double* outputs, std::uint32_t kept) {
    decimated.samples.growBack(kept, [&](double* p, std::size_t run) {
      std::copy(outputs, outputs + run, p);
      outputs += run;
    });
  });
  audio = std::move(decimated);
}

void LowPassFilterPrivate::checkFilterCall(const AudioData& audio,
                                           std::uint32_t decimationFactor) const {
  if (audio.getChannels() >= 2) throw Exception("Monophonic audio only");
  if (decimationFactor == 0) throw Exception("Decimation factor must be > 0");
}

// Output j = sum_k coefficient[k] * s[j - groupDelay + k], where s is the
// input divided by coefficientSum and silent beyond both ends, computed only
// for j = 0, F, 2F, ... and handed to sink(outputs, count) a block at a time.
// This equals running the input through a tapCount-long delay line, but
// reads the input once into contiguous blocks instead of shifting a ring per
// sample. Within a block the inputs are split into F phases (every F-th
// sample), so that the inputs tap k meets for consecutive kept outputs lie
// side by side and several outputs are summed at once. Outputs are handed
// over only after every input they need has been read, so the sink may
// overwrite the audio behind the read position.
template <typename Sink>
void LowPassFilterPrivate::keptOutputs(AudioData& audio, Workspace& workspace, std::uint32_t f,
                                       detail::KernelLevel level, Sink sink) const {
  if (!workspace.filterDelayLine)
    workspace.filterDelayLine = std::make_unique<std::vector<double>>(tapCount, 0.0);
  else
    std::fill(workspace.filterDelayLine->begin(), workspace.filterDelayLine->end(), 0.0);

  const std::uint64_t n = audio.getSampleCount();
  audio.resetIterators();
  if (n == 0) return;

  // A block spans a whole number of decimation steps, no more than the audio
  // needs.
  const std::uint32_t steps =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(OUTPUTS_PER_BLOCK, (n + f - 1) / f));
  const std::size_t span = static_cast<std::size_t>(steps) * f;
  const std::int64_t gd = groupDelay;
  // Phase p of a block starting at blockStart holds s[blockStart - groupDelay
  // + q * F + p] at index q: every input tap k meets for kept output m of the
  // block is element m + k / F of phase k % F.
  const std::size_t phaseLength = steps + (2 * groupDelay + f - 1) / f + 1;
  std::vector<double> phases(phaseLength * f, 0.0);
  std::vector<const double*> taps(tapCount);
  for (std::uint32_t k = 0; k < tapCount; ++k)
    taps[k] = phases.data() + (k % f) * phaseLength + k / f;
  std::vector<double> outputs(steps, 0.0);
  const double divisor = coefficientSum;
  const detail::SampleQueue& input = audio.samples;
  const std::int64_t count = static_cast<std::int64_t>(n);

  // The inputs of the indices not yet filled, contiguous: divided as they are
  // read from the audio a storage block at a time, then dealt out to the
  // phases. With F = 1 the single phase is that contiguous run itself.
  std::vector<double> raw(f == 1 ? 0 : phaseLength * f, 0.0);

  // Fills indices [from, phaseLength) of every phase for the block whose
  // phase index 0 stands at input position base.
  auto fill = [&](std::int64_t base, std::size_t from) {
    const std::int64_t begin = base + static_cast<std::int64_t>(from * f);
    const std::int64_t end = base + static_cast<std::int64_t>(phaseLength * f);
    const std::int64_t inside = std::min(std::max<std::int64_t>(begin, 0), end);
    const std::int64_t outside = std::max(std::min(end, count), inside);
    double* out = f == 1 ? phases.data() + from : raw.data();
    // Silence stays 0.0; only real inputs are divided, as the delay line
    // stores them.
    std::fill(out, out + (inside - begin), 0.0);
    double* real = out + (inside - begin);
    const std::size_t realCount = static_cast<std::size_t>(outside - inside);
    double* next = real;
    input.forEachSpan(static_cast<std::size_t>(inside), realCount, [&next, divisor](const double* p, std::size_t run) {
      double* o = next;
      for (std::size_t t = 0; t < run; ++t) o[t] = p[t] / divisor;
      next = o + run;
    });
    std::fill(real + realCount, out + (end - begin), 0.0);
    if (f == 1) return;
    for (std::uint32_t p = 0; p < f; ++p) {
      double* phase = phases.data() + static_cast<std::size_t>(p) * phaseLength;
      const double* source = out + p;
      for (std::size_t q = from; q < phaseLength; ++q, source += f) phase[q] = *source;
    }
  };

  fill(-gd, 0);
  for (std::uint64_t blockStart = 0; blockStart < n; blockStart += span) {
    const std::uint64_t blockEnd = std::min<std::uint64_t>(n, blockStart + span);
    const std::uint32_t kept = static_cast<std::uint32_t>((blockEnd - blockStart + f - 1) / f);
    detail::keptOutputs(level, coefficients.data(), tapCount, taps.data(), kept, outputs.data());
    sink(static_cast<const double*>(outputs.data()), kept);
    if (blockEnd == n) break;
    // The next block starts span inputs later: steps indices further on in
    // every phase. What it shares with this block moves to the front; the rest
    // lies beyond every position this block's outputs were written to.
    for (std::uint32_t p = 0; p < f; ++p) {
      double* phase = phases.data() + static_cast<std::size_t>(p) * phaseLength;
      std::copy(phase + steps, phase + phaseLength, phase);
    }
    fill(static_cast<std::int64_t>(blockStart + span) - gd, phaseLength - steps);
  }
}

} // namespace Tonvera
