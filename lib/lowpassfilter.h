#ifndef TONVERA_LOWPASSFILTER_H
#define TONVERA_LOWPASSFILTER_H

#include <cstdint>
#include <memory>
#include <vector>

namespace Tonvera {

class AudioData;
class LowPassFilterPrivate;
class Workspace;

// Linear-phase FIR low-pass filter designed from an ideal brick-wall
// response on an FFT grid, Hamming-windowed to order + 1 taps.
//
// filter() works in place on mono audio: each input is divided by the sum of
// the coefficients (unity gain at 0 Hz), the group delay is compensated, the
// audio counts as silent beyond both of its ends, and only the outputs at
// 0, F, 2F, ... (those a following decimation by F keeps) are computed; every
// other sample keeps its input value. A designed filter never changes: its
// working memory lives in the caller's Workspace, so one filter may serve many
// threads at once, each with its own workspace and audio.
class LowPassFilter {
public:
  // Throws Exception for an odd order, an order above fftFrameSize / 4, order
  // 0, frame rate 0, an odd fftFrameSize, or a design with no pass band.
  LowPassFilter(std::uint32_t order, std::uint32_t frameRate, double cornerFrequency,
                std::uint32_t fftFrameSize);
  ~LowPassFilter();
  LowPassFilter(const LowPassFilter&) = delete;
  LowPassFilter& operator=(const LowPassFilter&) = delete;

  void filter(AudioData& audio, Workspace& workspace, std::uint32_t decimationFactor) const;
  // The same as filter() followed by audio.downsample(decimationFactor, true),
  // with the same results and exceptions, but the kept outputs go straight
  // into the decimated buffer and the audio is not rewritten in place first.
  void filterAndDecimate(AudioData& audio, Workspace& workspace,
                         std::uint32_t decimationFactor) const;
  const std::vector<double>* getCoefficients() const;

private:
  std::unique_ptr<LowPassFilterPrivate> priv;
};

} // namespace Tonvera

#endif
