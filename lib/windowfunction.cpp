#include "windowfunction.h"

#include <cmath>

namespace Tonvera {

namespace {
constexpr double TWO_PI = 6.283185307179586;
constexpr double FOUR_PI = 12.566370614359172;
} // namespace

double WindowFunction::window(temporal_window_t type, std::int32_t n, std::int32_t N) const {
  const double span = static_cast<double>(static_cast<std::int64_t>(N) - 1);
  const double c1 = std::cos(TWO_PI * n / span);
  if (type != TEMPORAL_WINDOW_BLACKMAN) return 0.54 - 0.46 * c1;
  const double c2 = std::cos(FOUR_PI * n / span);
  return (0.42 - 0.5 * c1) + 0.08 * c2;
}

double WindowFunction::gaussianWindow(std::int32_t n, std::int32_t N, double sigma) const {
  // The centre is N / 2 in integers, so an odd N peaks at its middle point.
  const std::int64_t centre = N / 2;
  const double d = static_cast<double>(n - centre);
  return std::exp(-d * d / ((sigma + sigma) * sigma));
}

std::vector<double> WindowFunction::convolve(const std::vector<double>& input,
                                             const std::vector<double>& kernel) const {
  const std::int64_t inputLength = static_cast<std::int64_t>(input.size());
  const std::int64_t kernelLength = static_cast<std::int64_t>(kernel.size());
  const double divisor = static_cast<double>(kernelLength);
  std::vector<double> result(input.size(), 0.0);
  for (std::int64_t i = 0; i < inputLength; ++i) {
    double sum = 0.0;
    for (std::int64_t j = 0; j < kernelLength; ++j) {
      const std::int64_t index = i + j - kernelLength / 2;
      if (index >= 0 && index < inputLength)
        sum += input[static_cast<std::size_t>(index)] * kernel[static_cast<std::size_t>(j)] / divisor;
    }
    result[static_cast<std::size_t>(i)] = sum;
  }
  return result;
}

} // namespace Tonvera
