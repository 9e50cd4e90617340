#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "chromatransform.h"
#include "chromatransformfactory.h"
#include "constants.h"
#include "expect.h"
#include "fftadapter.h"
#include "signals.h"

using namespace Tonvera;

TEST(BandLayout, Frequencies) {
  EXPECT_EQ(getFrequencyOfBand(0), 32.7031956625748);
  EXPECT_EQ(getFrequencyOfBand(45), 440.000000000001);
  EXPECT_EQ(getFrequencyOfBand(71), getLastFrequency());
  EXPECT_EQ(getLastFrequency(), 1975.5332050245);
  for (std::uint32_t b = 0; b < 72; ++b)
    EXPECT_NEAR(getFrequencyOfBand(b), 440.0 * std::pow(2.0, (b - 45.0) / 12.0), 6e-15 * getFrequencyOfBand(b));
  EXPECT_EQ(thrownMessage([] { getFrequencyOfBand(72); }), "Cannot get frequency of out-of-bounds band index (72/72)");
  EXPECT_EQ(thrownMessage([] { getFrequencyOfBand(4294967295u); }),
            "Cannot get frequency of out-of-bounds band index (4294967295/72)");
}

TEST(ChromaTransform, AcceptsRatesBetweenNyquistAndResolutionLimits) {
  EXPECT_EQ(thrownMessage([] { ChromaTransform t(0); }), "Frame rate must be > 0");
  EXPECT_EQ(thrownMessage([] { ChromaTransform t(3951); }), "Analysis frequencies over Nyquist");
  EXPECT_EQ(thrownMessage([] { ChromaTransform t(31861); }), "Insufficient low-end resolution");
  EXPECT_EQ(thrownMessage([] { ChromaTransform t(3952); }), "<nothing thrown>");
  EXPECT_EQ(thrownMessage([] { ChromaTransform t(31860); }), "<nothing thrown>");
}

TEST(ChromaTransform, KernelsAt4410Hz) {
  const ChromaTransform t(4410);
  EXPECT_EQ(t.getBandFirstBin(0), 119u);
  const std::vector<double>& band0 = t.getBandKernel(0);
  const double expected[] = {0.504937, 5.337741, 10.524648, 10.516204, 5.321443, 0.498222};
  ASSERT_EQ(band0.size(), 6u);
  for (std::size_t j = 0; j < 6; ++j) EXPECT_NEAR(band0[j], expected[j], 5e-7);
  EXPECT_EQ(t.getBandFirstBin(45), 1596u);
  EXPECT_EQ(t.getBandKernel(45).size(), 78u);
  EXPECT_EQ(t.getBandFirstBin(71), 7165u);
  EXPECT_EQ(t.getBandKernel(71).size(), 350u);
  std::size_t weights = 0;
  for (std::uint32_t b = 0; b < 72; ++b) {
    const std::vector<double>& k = t.getBandKernel(b);
    weights += k.size();
    EXPECT_NEAR(std::accumulate(k.begin(), k.end(), 0.0), getFrequencyOfBand(b), 1e-12 * getFrequencyOfBand(b));
    // Windows of neighbouring bands share no bins.
    if (b > 0) {
      EXPECT_GE(t.getBandFirstBin(b), t.getBandFirstBin(b - 1) + t.getBandKernel(b - 1).size());
    }
  }
  EXPECT_EQ(weights, 6124u);
}

TEST(ChromaTransform, KernelsAtOtherRates) {
  struct Case {
    std::uint32_t rate, band, first, last;
  };
  const Case cases[] = {{8000, 0, 66, 68}, {8000, 71, 3950, 4142}, {3952, 71, 7996, 8384}};
  for (const Case& c : cases) {
    const ChromaTransform t(c.rate);
    EXPECT_EQ(t.getBandFirstBin(c.band), c.first) << c.rate;
    EXPECT_EQ(t.getBandFirstBin(c.band) + t.getBandKernel(c.band).size() - 1, c.last) << c.rate;
  }
  const ChromaTransform t8000(8000);
  std::size_t weights = 0;
  for (std::uint32_t b = 0; b < 72; ++b) weights += t8000.getBandKernel(b).size();
  EXPECT_EQ(weights, 3377u);

  // Some rates leave a low band without a whole bin; below 26122 Hz none do.
  const ChromaTransform t26122(26122);
  bool anyEmpty = false;
  for (std::uint32_t b = 0; b < 4; ++b) anyEmpty |= t26122.getBandKernel(b).empty();
  EXPECT_TRUE(anyEmpty);
  const ChromaTransform t26121(26121);
  for (std::uint32_t b = 0; b < 72; ++b) EXPECT_FALSE(t26121.getBandKernel(b).empty());
}

TEST(ChromaTransform, ChromaVector) {
  const ChromaTransform t(4410);
  FftAdapter fft(16384);
  for (std::uint32_t i = 0; i < 16384; ++i) fft.setInput(i, 0.0);
  fft.execute();
  EXPECT_EQ(t.chromaVector(&fft), std::vector<double>(72, 0.0));

  for (std::uint32_t i = 0; i < 16384; ++i)
    fft.setInput(i, std::sin(2.0 * testing_signals::PI * 440.0 * i / 4410.0));
  fft.execute();
  const std::vector<double> chroma = t.chromaVector(&fft);
  EXPECT_EQ(std::max_element(chroma.begin(), chroma.end()) - chroma.begin(), 45);
  EXPECT_EQ(t.kernelWindow(1.5, 6.0), 1.0 - std::cos(1.5 * 6.283185307179586 / 6.0));
}

// The fast path reads the spectrum directly; it must give the numbers of the
// accessor-by-accessor sum.
TEST(ChromaTransform, ChromaVectorMatchesThePlainSumOnRandomSpectra) {
  FftAdapter fft(16384);
  for (std::uint32_t rate : {3952u, 4363u, 4410u, 6000u, 8000u, 8693u, 26122u}) {
    const ChromaTransform t(rate);
    const std::vector<double> x = testing_signals::randomSamples(16384, rate);
    for (std::uint32_t i = 0; i < 16384; ++i) fft.setInput(i, x[i]);
    fft.execute();
    const std::vector<double> chroma = t.chromaVector(&fft);
    for (std::uint32_t b = 0; b < 72; ++b) {
      double sum = 0.0;
      for (std::size_t j = 0; j < t.getBandKernel(b).size(); ++j)
        sum += fft.getOutputMagnitude(t.getBandFirstBin(b) + static_cast<std::uint32_t>(j)) * t.getBandKernel(b)[j];
      ASSERT_EQ(chroma[b], sum) << rate << " band " << b;
    }
  }
}

TEST(ChromaTransformFactory, CachesByRateAndKeepsNothingOnFailure) {
  ChromaTransformFactory factory;
  const ChromaTransform* a = factory.getChromaTransform(4410);
  EXPECT_EQ(a->getFrameRate(), 4410u);
  EXPECT_EQ(factory.getChromaTransform(4410), a);
  EXPECT_NE(factory.getChromaTransform(8000), a);
  EXPECT_EQ(factory.getEntryCount(), 2u);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(thrownMessage([&] { factory.getChromaTransform(3000); }), "Analysis frequencies over Nyquist");
  EXPECT_EQ(factory.getEntryCount(), 2u);
  EXPECT_EQ(factory.getChromaTransform(4410), a);
}
