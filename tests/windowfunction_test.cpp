#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "temporalwindowfactory.h"
#include "windowfunction.h"

using namespace Tonvera;

TEST(WindowFunction, EndAndMiddleValues) {
  const WindowFunction w;
  for (std::int32_t n : {2, 7, 161, 16384}) {
    EXPECT_EQ(w.window(TEMPORAL_WINDOW_BLACKMAN, 0, n), -1.3877787807814457e-17);
    EXPECT_EQ(w.window(TEMPORAL_WINDOW_BLACKMAN, n - 1, n), -1.3877787807814457e-17);
    EXPECT_EQ(w.window(TEMPORAL_WINDOW_HAMMING, 0, n), 0.08000000000000002);
    EXPECT_NEAR(w.window(TEMPORAL_WINDOW_HAMMING, n - 1, n), 0.08, 1e-15);
  }
  for (std::int32_t n : {3, 7, 161}) {
    EXPECT_NEAR(w.window(TEMPORAL_WINDOW_BLACKMAN, (n - 1) / 2, n), 1.0, 1e-15);
    EXPECT_NEAR(w.window(TEMPORAL_WINDOW_HAMMING, (n - 1) / 2, n), 1.0, 1e-15);
  }
  EXPECT_EQ(w.window(static_cast<temporal_window_t>(2), 3, 10), w.window(TEMPORAL_WINDOW_HAMMING, 3, 10));
  // Outside 0..N-1 the formula continues periodically.
  EXPECT_NEAR(w.window(TEMPORAL_WINDOW_HAMMING, 10, 11), w.window(TEMPORAL_WINDOW_HAMMING, 0, 11), 1e-15);
}

TEST(WindowFunction, EvaluationOrder) {
  // 2 pi n is formed before the division, and the Blackman bracket before
  // its third term.
  const WindowFunction w;
  const double c1 = std::cos(6.283185307179586 * 5 / 160.0);
  const double c2 = std::cos(12.566370614359172 * 5 / 160.0);
  EXPECT_EQ(w.window(TEMPORAL_WINDOW_BLACKMAN, 5, 161), (0.42 - 0.5 * c1) + 0.08 * c2);
  EXPECT_EQ(w.window(TEMPORAL_WINDOW_HAMMING, 5, 161), 0.54 - 0.46 * c1);
}

TEST(WindowFunction, Gaussian) {
  const WindowFunction w;
  EXPECT_EQ(w.gaussianWindow(2, 5, 1.0), 1.0);
  EXPECT_EQ(w.gaussianWindow(0, 5, 1.0), std::exp(-2.0));
  EXPECT_EQ(w.gaussianWindow(1, 4, 2.0), std::exp(-1.0 / 8.0));
}

TEST(WindowFunction, Convolve) {
  const WindowFunction w;
  EXPECT_EQ(w.convolve({3, 3, 3}, {1, 1, 1}), (std::vector<double>{2, 3, 2}));
  const double a = 0.7, b = -1.3, k0 = 0.25, k1 = 3.0;
  EXPECT_EQ(w.convolve({a, b}, {k0, k1}), (std::vector<double>{a * k1 / 2, a * k0 / 2 + b * k1 / 2}));
  EXPECT_EQ(w.convolve({1, 2, 3}, {}), (std::vector<double>{0, 0, 0}));
  EXPECT_TRUE(w.convolve({}, {1, 2}).empty());
}

TEST(TemporalWindowFactory, BuildsEachSizeOnce) {
  TemporalWindowFactory factory;
  const std::vector<double>* window = factory.getTemporalWindow(16384);
  ASSERT_EQ(window->size(), 16384u);
  const WindowFunction w;
  for (std::int32_t n = 0; n < 16384; n += 97)
    EXPECT_EQ((*window)[static_cast<std::size_t>(n)], w.window(TEMPORAL_WINDOW_BLACKMAN, n, 16384));
  for (std::size_t n = 0; n < 16384; ++n) EXPECT_NEAR((*window)[n], (*window)[16383 - n], 1e-15);
  const auto peak = std::max_element(window->begin(), window->end()) - window->begin();
  EXPECT_TRUE(peak == 8191 || peak == 8192);
  EXPECT_GT((*window)[8191], 0.99999998);
  EXPECT_NEAR((*window)[8191], (*window)[8192], 1e-15);

  EXPECT_EQ(factory.getTemporalWindow(16384), window);
  const std::vector<double>* other = factory.getTemporalWindow(1024);
  EXPECT_NE(other, window);
  EXPECT_EQ(other->size(), 1024u);
  EXPECT_EQ(factory.getEntryCount(), 2u);
  const std::vector<double>* empty = factory.getTemporalWindow(0);
  EXPECT_TRUE(empty->empty());
  EXPECT_EQ(factory.getTemporalWindow(0), empty);
  EXPECT_EQ(factory.getEntryCount(), 3u);
  EXPECT_EQ(factory.getTemporalWindow(16384), window);
}
