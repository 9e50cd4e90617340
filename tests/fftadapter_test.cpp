#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "expect.h"
#include "fftadapter.h"
#include "signals.h"

using namespace Tonvera;

namespace {
const double NaN = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();
} // namespace

TEST(FftAdapter, ChecksIndexBeforeValue) {
  FftAdapter fft(16384);
  EXPECT_EQ(fft.getFrameSize(), 16384u);
  EXPECT_EQ(thrownMessage([&] { fft.setInput(16384, 0.0); }), "Cannot set out-of-bounds sample (16384/16384)");
  EXPECT_EQ(thrownMessage([&] { fft.setInput(16384, NaN); }), "Cannot set out-of-bounds sample (16384/16384)");
  EXPECT_EQ(thrownMessage([&] { fft.setInput(0, INF); }), "Cannot set sample to NaN");
  EXPECT_EQ(thrownMessage([&] { fft.setInput(0, NaN); }), "Cannot set sample to NaN");
  EXPECT_EQ(thrownMessage([&] { fft.getOutputReal(16384); }), "Cannot get out-of-bounds sample (16384/16384)");
  EXPECT_EQ(thrownMessage([&] { fft.getOutputImaginary(20000); }), "Cannot get out-of-bounds sample (20000/16384)");
  EXPECT_EQ(thrownMessage([&] { fft.getOutputMagnitude(16384); }), "Cannot get out-of-bounds sample (16384/16384)");

  InverseFftAdapter ifft(2048);
  EXPECT_EQ(thrownMessage([&] { ifft.setInput(2048, NaN, NaN); }), "Cannot set out-of-bounds sample (2048/2048)");
  EXPECT_EQ(thrownMessage([&] { ifft.setInput(0, 1.0, NaN); }), "Cannot set sample to NaN");
  EXPECT_EQ(thrownMessage([&] { ifft.setInput(0, -INF, 0.0); }), "Cannot set sample to NaN");
  EXPECT_EQ(thrownMessage([&] { ifft.getOutput(2048); }), "Cannot get out-of-bounds sample (2048/2048)");
  EXPECT_EQ(thrownMessage([&] { FftAdapter zero(0); }), "FFT frame size must be > 0");
  EXPECT_EQ(thrownMessage([&] { InverseFftAdapter zero(0); }), "FFT frame size must be > 0");
}

TEST(FftAdapter, ConstantInputFillsBinZeroOnly) {
  for (std::uint32_t n : {16u, 2048u, 16384u, 15u}) {
    FftAdapter fft(n);
    for (std::uint32_t i = 0; i < n; ++i) fft.setInput(i, -0.5);
    fft.execute();
    EXPECT_NEAR(fft.getOutputReal(0), -0.5 * n, 1e-9);
    EXPECT_EQ(fft.getOutputImaginary(0), 0.0);
    EXPECT_NEAR(fft.getOutputMagnitude(0), 0.5 * n, 1e-9);
    for (std::uint32_t k = 1; k <= n / 2; ++k) EXPECT_NEAR(fft.getOutputMagnitude(k), 0.0, 1e-9);
    // Bins above N/2 are never written.
    for (std::uint32_t k = n / 2 + 1; k < n; ++k) {
      EXPECT_EQ(fft.getOutputReal(k), 0.0);
      EXPECT_EQ(fft.getOutputImaginary(k), 0.0);
      EXPECT_EQ(fft.getOutputMagnitude(k), 0.0);
    }
  }
}

TEST(FftAdapter, MatchesAPlainDftAndRoundTrips) {
  for (std::uint32_t n : {8u, 30u, 2048u, 16384u}) {
    const std::vector<double> x = testing_signals::randomSamples(n, n);
    FftAdapter fft(n);
    for (std::uint32_t i = 0; i < n; ++i) fft.setInput(i, x[i]);
    fft.execute();
    if (n <= 2048) {
      for (std::uint32_t k = 0; k <= n / 2; k += 1 + n / 64) {
        double re = 0, im = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
          const double a = -2.0 * testing_signals::PI * k * i / n;
          re += x[i] * std::cos(a);
          im += x[i] * std::sin(a);
        }
        EXPECT_NEAR(fft.getOutputReal(k), re, 1e-9 * n);
        EXPECT_NEAR(fft.getOutputImaginary(k), im, 1e-9 * n);
      }
    }
    InverseFftAdapter ifft(n);
    for (std::uint32_t k = 0; k <= n / 2; ++k) ifft.setInput(k, fft.getOutputReal(k), fft.getOutputImaginary(k));
    // Bins above N/2 do not influence the inverse.
    for (std::uint32_t k = n / 2 + 1; k < n; ++k) ifft.setInput(k, 1e6, -1e6);
    ifft.execute();
    for (std::uint32_t i = 0; i < n; ++i) EXPECT_NEAR(ifft.getOutput(i), x[i], 1e-12) << n << " " << i;
  }
}
