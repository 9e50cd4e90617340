#include "chromatransform.h"

#include <cmath>

#include "constants.h"
#include "exception.h"
#include "fftadapter.h"

namespace Tonvera {

namespace {
constexpr double TWO_PI = 6.283185307179586;
// 0.8 * (2^(1/12) - 1): the window spans 0.8 of the way to the next semitone.
constexpr double WIDTH_PER_CENTRE = 0.04757047548743625;
} // namespace

ChromaTransform::ChromaTransform(std::uint32_t rate) : frameRate(rate) {
  if (frameRate == 0) throw Exception("Frame rate must be > 0");
  if (getLastFrequency() > 0.5 * frameRate) throw Exception("Analysis frequencies over Nyquist");
  if (frameRate * (1.0 / 16384.0) > getFrequencyOfBand(1) - getFrequencyOfBand(0))
    throw Exception("Insufficient low-end resolution");

  bandFirstBins.assign(BANDS, 0);
  bandKernels.assign(BANDS, std::vector<double>());
  for (std::uint32_t i = 0; i < BANDS; ++i) {
    const double f = getFrequencyOfBand(i);
    const double centre = f * 16384 / static_cast<double>(frameRate);
    const double width = centre * WIDTH_PER_CENTRE;
    const double start = width * (-0.5) + centre;
    const std::uint32_t firstBin = static_cast<std::uint32_t>(std::ceil(start));
    bandFirstBins[i] = firstBin;
    const double end = std::floor(width + start);
    std::vector<double>& kernel = bandKernels[i];
    double sum = 0.0;
    for (std::uint32_t bin = firstBin; static_cast<double>(bin) <= end; ++bin) {
      const double weight = kernelWindow(static_cast<double>(bin) - start, width);
      kernel.push_back(weight);
      sum += weight;
    }
    for (double& weight : kernel) weight = weight / sum * f;
  }
}

double ChromaTransform::kernelWindow(double n, double N) const {
  return 1.0 - std::cos(n * TWO_PI / N);
}

std::vector<double> ChromaTransform::chromaVector(const FftAdapter* fft) const {
  std::vector<double> result(BANDS, 0.0);
  // The construction keeps every bin below 16384 and every kernel far shorter
  // than the magnitude buffer, so the adapter's bound holds; only a smaller
  // adapter needs the checked accessor.
  constexpr std::size_t LONGEST_KERNEL = 2048;
  const double* spectrum = fft->spectrumBuffer();
  const bool smallAdapter = fft->getFrameSize() < FRAME_SIZE;
  double magnitudes[LONGEST_KERNEL];
  for (std::uint32_t i = 0; i < BANDS; ++i) {
    const std::vector<double>& kernel = bandKernels[i];
    const std::uint32_t first = bandFirstBins[i];
    const std::size_t count = kernel.size();
    if (smallAdapter || count > LONGEST_KERNEL) {
      double checkedSum = 0.0;
      for (std::size_t j = 0; j < count; ++j)
        checkedSum += fft->getOutputMagnitude(first + static_cast<std::uint32_t>(j)) * kernel[j];
      result[i] = checkedSum;
      continue;
    }
    const double* bin = spectrum + 2 * static_cast<std::size_t>(first);
    for (std::size_t j = 0; j < count; ++j) {
      const double re = bin[2 * j];
      const double im = bin[2 * j + 1];
      magnitudes[j] = std::sqrt(re * re + im * im);
    }
    double sum = 0.0;
    for (std::size_t j = 0; j < count; ++j) sum += magnitudes[j] * kernel[j];
    result[i] = sum;
  }
  return result;
}

} // namespace Tonvera
