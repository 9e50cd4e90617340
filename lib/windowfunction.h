#ifndef TONVERA_WINDOWFUNCTION_H
#define TONVERA_WINDOWFUNCTION_H

#include <cstdint>
#include <vector>

namespace Tonvera {

enum temporal_window_t : int {
  TEMPORAL_WINDOW_BLACKMAN = 0,
  TEMPORAL_WINDOW_HAMMING = 1,
};

// Stateless window coefficients. Arguments are not range-checked: an n
// outside 0..N-1 gives the formula's periodic continuation, and N = 1
// divides by zero.
class WindowFunction {
public:
  // Coefficient n of the N-point window; any type other than Blackman is
  // Hamming.
  double window(temporal_window_t type, std::int32_t n, std::int32_t N) const;
  // e^(-d^2 / 2 sigma^2) with d = n - N/2 (integer division); 1 at the centre.
  double gaussianWindow(std::int32_t n, std::int32_t N, double sigma) const;
  // Sliding weighted sum of input by kernel, not reversed, each term divided
  // by the kernel length; taps outside the input are left out, so the result
  // tapers at both ends. The result has the input's length.
  std::vector<double> convolve(const std::vector<double>& input,
                               const std::vector<double>& kernel) const;
};

} // namespace Tonvera

#endif
