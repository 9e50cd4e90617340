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

// Kept outputs per block of work; the scratch holds their inputs plus the
// filter's reach on both sides.
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
  const std::uint32_t reach = 2 * groupDelay;
  // scratch[t] holds s[blockStart - groupDelay + t].
  std::vector<double> scratch(span + reach, 0.0);
  // Phase p holds scratch[p], scratch[p + F], scratch[p + 2F], ...
  const std::size_t phaseLength = steps + (reach + f - 1) / f + 1;
  std::vector<double> phases(f == 1 ? 0 : phaseLength * f, 0.0);
  std::vector<const double*> taps(tapCount);
  for (std::uint32_t k = 0; k < tapCount; ++k)
    taps[k] = f == 1 ? scratch.data() + k : phases.data() + (k % f) * phaseLength + k / f;
  std::vector<double> outputs(steps, 0.0);
  const double divisor = coefficientSum;

  auto readInto = [&](double* out, std::size_t count) {
    std::size_t got = 0;
    while (got < count) {
      const std::uint32_t chunk =
          static_cast<std::uint32_t>(std::min<std::size_t>(count - got, 0xffffffffu));
      const std::uint32_t read = audio.readSamplesAtReadIterator(out + got, chunk);
      got += read;
      if (read < chunk) break;
    }
    for (std::size_t t = 0; t < got; ++t) out[t] = out[t] / divisor;
    std::fill(out + got, out + count, 0.0);
  };

  // Silence before the first sample, then the first groupDelay inputs.
  readInto(scratch.data() + groupDelay, groupDelay);
  for (std::uint64_t blockStart = 0; blockStart < n; blockStart += span) {
    readInto(scratch.data() + reach, span);
    const std::uint64_t blockEnd = std::min<std::uint64_t>(n, blockStart + span);
    const std::uint32_t kept = static_cast<std::uint32_t>((blockEnd - blockStart + f - 1) / f);
    if (f != 1) {
      for (std::uint32_t p = 0; p < f; ++p) {
        double* phase = phases.data() + static_cast<std::size_t>(p) * phaseLength;
        std::size_t q = 0;
        for (std::size_t t = p; t < scratch.size(); t += f) phase[q++] = scratch[t];
      }
    }
    detail::keptOutputs(level, coefficients.data(), tapCount, taps.data(), kept, outputs.data());
    sink(static_cast<const double*>(outputs.data()), kept);
    // The last 2 * groupDelay inputs of this block start the next one.
    std::copy(scratch.end() - reach, scratch.end(), scratch.begin());
  }
}

} // namespace Tonvera
