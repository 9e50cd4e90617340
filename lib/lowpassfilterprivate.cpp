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

// Sum of coefficient[k] * window[k] in increasing k, from 0.0. Four outputs
// are summed side by side, each in its own order, so the result has the bits
// of the one-at-a-time loop.
inline void dot4(const double* c, std::uint32_t taps, const double* w0, std::uint32_t stride,
                 double* out) {
  const double* w1 = w0 + stride;
  const double* w2 = w1 + stride;
  const double* w3 = w2 + stride;
  double y0 = 0.0, y1 = 0.0, y2 = 0.0, y3 = 0.0;
  for (std::uint32_t k = 0; k < taps; ++k) {
    const double ck = c[k];
    y0 += ck * w0[k];
    y1 += ck * w1[k];
    y2 += ck * w2[k];
    y3 += ck * w3[k];
  }
  out[0] = y0;
  out[1] = y1;
  out[2] = y2;
  out[3] = y3;
}

inline double dot1(const double* c, std::uint32_t taps, const double* w) {
  double y = 0.0;
  for (std::uint32_t k = 0; k < taps; ++k) y += c[k] * w[k];
  return y;
}

} // namespace

// Output j = sum_k coefficient[k] * s[j - groupDelay + k], where s is the
// input divided by coefficientSum and silent beyond both ends, computed only
// for j = 0, F, 2F, ... This equals running the input through a tapCount-long
// delay line, but reads the input once into contiguous blocks instead of
// shifting a ring per sample.
void LowPassFilterPrivate::filter(AudioData& audio, Workspace& workspace,
                                  std::uint32_t decimationFactor) const {
  if (audio.getChannels() >= 2) throw Exception("Monophonic audio only");
  if (decimationFactor == 0) throw Exception("Decimation factor must be > 0");

  if (!workspace.filterDelayLine)
    workspace.filterDelayLine = std::make_unique<std::vector<double>>(tapCount, 0.0);
  else
    std::fill(workspace.filterDelayLine->begin(), workspace.filterDelayLine->end(), 0.0);

  const std::uint64_t n = audio.getSampleCount();
  audio.resetIterators();
  if (n == 0) return;

  const std::uint32_t f = decimationFactor;
  // A block spans a whole number of decimation steps, no more than the audio
  // needs.
  const std::uint64_t steps = std::min<std::uint64_t>(OUTPUTS_PER_BLOCK, (n + f - 1) / f);
  const std::uint64_t span = steps * f;
  const std::uint32_t reach = 2 * groupDelay;
  // scratch[t] holds s[blockStart - groupDelay + t].
  std::vector<double> scratch(static_cast<std::size_t>(span) + reach, 0.0);
  std::vector<double> outputs(static_cast<std::size_t>(steps), 0.0);
  const double* c = coefficients.data();
  const double divisor = coefficientSum;

  auto readInto = [&](double* out, std::uint64_t count) {
    std::uint64_t got = 0;
    while (got < count) {
      const std::uint32_t chunk =
          static_cast<std::uint32_t>(std::min<std::uint64_t>(count - got, 0xffffffffu));
      const std::uint32_t read = audio.readSamplesAtReadIterator(out + got, chunk);
      got += read;
      if (read < chunk) break;
    }
    for (std::uint64_t t = 0; t < got; ++t) out[t] = out[t] / divisor;
    std::fill(out + got, out + count, 0.0);
  };

  // Silence before the first sample, then the first groupDelay inputs.
  readInto(scratch.data() + groupDelay, groupDelay);
  for (std::uint64_t blockStart = 0; blockStart < n; blockStart += span) {
    readInto(scratch.data() + reach, span);
    const std::uint64_t blockEnd = std::min<std::uint64_t>(n, blockStart + span);
    const std::uint32_t kept = static_cast<std::uint32_t>((blockEnd - blockStart + f - 1) / f);
    std::uint32_t m = 0;
    for (; m + 4 <= kept; m += 4)
      dot4(c, tapCount, scratch.data() + static_cast<std::size_t>(m) * f, f, &outputs[m]);
    for (; m < kept; ++m)
      outputs[m] = dot1(c, tapCount, scratch.data() + static_cast<std::size_t>(m) * f);
    for (m = 0; m < kept; ++m) {
      audio.setSampleAtWriteIterator(outputs[m]);
      audio.advanceWriteIterator(f);
    }
    // The last 2 * groupDelay inputs of this block start the next one.
    std::copy(scratch.end() - reach, scratch.end(), scratch.begin());
  }
}

} // namespace Tonvera
