#ifndef TONVERA_CHROMATRANSFORM_H
#define TONVERA_CHROMATRANSFORM_H

#include <cstdint>
#include <vector>

namespace Tonvera {

class FftAdapter;

// Maps the magnitude spectrum of a 16384-point frame at one frame rate onto
// the 72 semitone bands. Each band owns a run of consecutive bins weighted by
// a raised cosine spanning 0.8 of a semitone above the band centre; a band's
// weights add up to its centre frequency. Accepts frame rates from 3952 Hz
// (band 71 below Nyquist) to 31860 Hz (bins no wider than the lowest
// semitone). Immutable after construction; chromaVector may run on many
// threads at once, each with its own adapter.
class ChromaTransform {
public:
  static constexpr std::uint32_t FRAME_SIZE = 16384;

  explicit ChromaTransform(std::uint32_t frameRate);

  std::uint32_t getFrameRate() const { return frameRate; }
  // The 72 weighted sums of the bin magnitudes the executed adapter holds.
  std::vector<double> chromaVector(const FftAdapter* fft) const;
  // 1 - cos(n * 2 pi / N), the weight shape.
  double kernelWindow(double n, double N) const;

  const std::vector<double>& getBandKernel(std::uint32_t band) const { return bandKernels.at(band); }
  std::uint32_t getBandFirstBin(std::uint32_t band) const { return bandFirstBins.at(band); }

private:
  std::uint32_t frameRate;
  std::vector<std::vector<double>> bandKernels;
  std::vector<std::uint32_t> bandFirstBins;
};

} // namespace Tonvera

#endif
