#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

#include "expect.h"
#include "lowpassfilter.h"
#include "lowpassfilterfactory.h"
#include "lowpassfilterprivate.h"
#include "plainfilter.h"
#include "signals.h"
#include "workspace.h"

using namespace Tonvera;

namespace {

AudioData mono(const std::vector<double>& values, std::uint32_t rate = 16000) {
  return testing_signals::audioOf(values, rate);
}

using testing_signals::samplesOf;

void expectNear(const std::vector<double>& actual, const std::vector<double>& expected, double tolerance) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << i;
}

} // namespace

TEST(LowPassFilter, WorkedExampleDesign) {
  const LowPassFilterPrivate design(4, 16000, 2000, 16);
  EXPECT_EQ(design.groupDelay, 2u);
  EXPECT_EQ(design.tapCount, 5u);
  expectNear(design.coefficients, {0.0482843, 0.575366, 1.25, 0.575366, 0.0482843}, 5e-7);
  EXPECT_NEAR(design.coefficientSum, 2.497301, 5e-7);
  EXPECT_EQ(design.coefficientSum,
            std::accumulate(design.coefficients.begin(), design.coefficients.end(), 0.0));
  const LowPassFilter filter(4, 16000, 2000, 16);
  EXPECT_EQ(*filter.getCoefficients(), design.coefficients);
}

TEST(LowPassFilter, WorkedExampleFiltering) {
  const LowPassFilter filter(4, 16000, 2000, 16);
  Workspace workspace;

  AudioData impulse = mono({0, 0, 1, 0, 0});
  filter.filter(impulse, workspace, 1);
  expectNear(samplesOf(impulse), {0.0193346, 0.230395, 0.500540, 0.230395, 0.0193346}, 5e-7);
  ASSERT_TRUE(workspace.filterDelayLine);
  EXPECT_EQ(workspace.filterDelayLine->size(), 5u);
  const std::vector<double>* line = workspace.filterDelayLine.get();

  AudioData ones = mono(std::vector<double>(9, 1.0));
  filter.filter(ones, workspace, 1);
  expectNear(samplesOf(ones), {0.750270, 0.980665, 1, 1, 1, 1, 1, 0.980665, 0.750270}, 5e-7);

  AudioData everyOther = mono(std::vector<double>(9, 1.0));
  filter.filter(everyOther, workspace, 2);
  const std::vector<double> out = samplesOf(everyOther);
  expectNear({out[0], out[2], out[4], out[6], out[8]}, {0.750270, 1, 1, 1, 0.750270}, 5e-7);
  for (std::size_t i : {1, 3, 5, 7}) EXPECT_EQ(out[i], 1.0);
  EXPECT_EQ(workspace.filterDelayLine.get(), line); // reused, never replaced
  EXPECT_EQ(everyOther.getFrameRate(), 16000u);
  EXPECT_EQ(everyOther.getChannels(), 1u);
}

TEST(LowPassFilter, DesignChecksInOrder) {
  struct Case {
    std::uint32_t order, rate;
    double corner;
    std::uint32_t fftSize;
    const char* message;
  };
  const Case cases[] = {
      {161, 44100, 2000, 2048, "LPF order must be an even number"},
      {515, 44100, 2000, 2048, "LPF order must be an even number"},
      {514, 44100, 2000, 2048, "LPF order must be <= FFT frame size / 4"},
      {512, 44100, 2000, 2048, "<nothing thrown>"},
      {160, 44100, 0.0, 2048, "Cannot set sample to NaN"},
      // A NaN corner puts no bin in the pass band.
      {160, 44100, std::numeric_limits<double>::quiet_NaN(), 2048, "LPF coefficients must not sum to 0"},
      {0, 44100, 2000, 2048, "LPF order must be > 0"},
      {160, 0, 2000, 2048, "LPF frame rate must be > 0"},
      {4, 16000, 2000, 17, "LPF FFT frame size must be an even number"},
      {160, 44100, -5.0, 2048, "LPF coefficients must not sum to 0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(thrownMessage([&] { LowPassFilter f(c.order, c.rate, c.corner, c.fftSize); }), c.message)
        << c.order << " " << c.corner;
}

TEST(LowPassFilter, RefusesMultichannelAudioUntouched) {
  const LowPassFilter filter(160, 44100, 1999.2396034847939, 2048);
  Workspace workspace;
  AudioData stereo = mono({1, 2, 3, 4});
  stereo.setChannels(2);
  EXPECT_EQ(thrownMessage([&] { filter.filter(stereo, workspace, 1); }), "Monophonic audio only");
  EXPECT_EQ(samplesOf(stereo), (std::vector<double>{1, 2, 3, 4}));
  EXPECT_FALSE(workspace.filterDelayLine);
  AudioData one = mono({1});
  EXPECT_EQ(thrownMessage([&] { filter.filter(one, workspace, 0); }), "Decimation factor must be > 0");
}

TEST(LowPassFilter, EmptyAndShortAudio) {
  const LowPassFilterPrivate design(160, 44100, 1999.2396034847939, 2048);
  const LowPassFilter filter(160, 44100, 1999.2396034847939, 2048);
  Workspace workspace;
  AudioData empty = mono({});
  filter.filter(empty, workspace, 1);
  EXPECT_EQ(empty.getSampleCount(), 0u);
  ASSERT_TRUE(workspace.filterDelayLine);
  EXPECT_EQ(workspace.filterDelayLine->size(), 161u);

  AudioData three = mono({0.5, -0.25, 1.0});
  filter.filter(three, workspace, 1);
  const std::vector<double> c = design.coefficients;
  const double in[] = {0.5, -0.25, 1.0};
  for (int j = 0; j < 3; ++j) {
    double y = 0.0;
    for (int k = 0; k < 161; ++k) {
      const int m = j - 80 + k;
      y += c[static_cast<std::size_t>(k)] * ((m >= 0 && m < 3) ? in[m] / design.coefficientSum : 0.0);
    }
    EXPECT_EQ(three.getSample(static_cast<std::uint32_t>(j)), y) << j;
  }
}

// The fast filter must give the delay line's numbers bit for bit.
TEST(LowPassFilter, MatchesThePlainDelayLineOnRandomAudio) {
  const double corner = 1975.5332050245 * 1.012;
  for (std::uint32_t rate : {8000u, 11025u, 16000u, 22050u, 32000u, 44100u, 48000u}) {
    const LowPassFilterPrivate design(160, rate, corner, 2048);
    const LowPassFilter filter(160, rate, corner, 2048);
    for (std::uint32_t factor = 1; factor <= 11; ++factor) {
      for (std::uint32_t length : {0u, 1u, 79u, 80u, 81u, 161u, 1000u, 10240u + 7, 33331u}) {
        const std::vector<double> input =
            testing_signals::randomSamples(length, rate + factor * 131 + length);
        AudioData plain = mono(input, rate);
        plainFilter(plain, design.coefficients, design.coefficientSum, factor);
        const std::vector<double> expected = samplesOf(plain);
        AudioData fast = mono(input, rate);
        Workspace workspace;
        filter.filter(fast, workspace, factor);
        ASSERT_EQ(samplesOf(fast), expected) << rate << " F=" << factor << " n=" << length;
        // Every instruction-set build of the inner loop this machine can run.
        for (const auto level : {detail::KernelLevel::Generic, detail::KernelLevel::Avx2, detail::KernelLevel::Avx512}) {
          if (!detail::kernelLevelSupported(level)) continue;
          AudioData audio = mono(input, rate);
          design.filter(audio, workspace, factor, level);
          ASSERT_EQ(samplesOf(audio), expected) << rate << " F=" << factor << " n=" << length
                                                << " level=" << static_cast<int>(level);
        }
      }
    }
  }
}

TEST(LowPassFilter, FilterAndDecimateEqualsFilterThenDownsample) {
  const double corner = 1975.5332050245 * 1.012;
  for (std::uint32_t rate : {8000u, 44100u, 48000u}) {
    const LowPassFilter filter(160, rate, corner, 2048);
    for (std::uint32_t factor = 1; factor <= 11; ++factor) {
      for (std::uint32_t length : {0u, 1u, 9u, 10u, 11u, 4097u, 30001u}) {
        const std::vector<double> input = testing_signals::randomSamples(length, rate * factor + length);
        AudioData twoSteps = mono(input, rate);
        AudioData fused = mono(input, rate);
        Workspace a, b;
        filter.filter(twoSteps, a, factor);
        twoSteps.downsample(factor, true);
        filter.filterAndDecimate(fused, b, factor);
        ASSERT_EQ(samplesOf(fused), samplesOf(twoSteps)) << rate << " F=" << factor << " n=" << length;
        EXPECT_EQ(fused.getFrameRate(), twoSteps.getFrameRate());
        EXPECT_EQ(fused.getChannels(), 1u);
        ASSERT_TRUE(b.filterDelayLine);
      }
    }
  }
  const LowPassFilter filter(4, 16000, 2000, 16);
  Workspace w;
  AudioData slow = mono({1, 2, 3}, 3);
  EXPECT_EQ(thrownMessage([&] { filter.filterAndDecimate(slow, w, 4); }), "New frame rate must be > 0");
  EXPECT_EQ(samplesOf(slow), (std::vector<double>{1, 2, 3}));
  AudioData stereo = mono({1, 2});
  stereo.setChannels(2);
  EXPECT_EQ(thrownMessage([&] { filter.filterAndDecimate(stereo, w, 2); }), "Monophonic audio only");
}

TEST(LowPassFilterFactory, MatchesAllFourKeysExactly) {
  LowPassFilterFactory factory;
  const double corner = 1975.5332050245 * 1.012;
  const LowPassFilter* a = factory.getLowPassFilter(160, 44100, corner, 2048);
  EXPECT_EQ(factory.getLowPassFilter(160, 44100, corner, 2048), a);
  EXPECT_EQ(factory.getEntryCount(), 1u);
  const LowPassFilter* others[] = {
      factory.getLowPassFilter(158, 44100, corner, 2048),
      factory.getLowPassFilter(160, 48000, corner, 2048),
      factory.getLowPassFilter(160, 44100, std::nextafter(corner, 0.0), 2048),
      factory.getLowPassFilter(160, 44100, corner, 4096),
  };
  for (const LowPassFilter* other : others) EXPECT_NE(other, a);
  EXPECT_EQ(factory.getEntryCount(), 5u);
  EXPECT_EQ(factory.getLowPassFilter(160, 44100, corner, 2048), a);

  EXPECT_EQ(thrownMessage([&] { factory.getLowPassFilter(161, 44100, corner, 2048); }),
            "LPF order must be an even number");
  EXPECT_EQ(factory.getEntryCount(), 5u);
  // A NaN corner never matches, so it is designed (and fails) each time.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(thrownMessage([&] { factory.getLowPassFilter(160, 44100, nan, 2048); }),
              "LPF coefficients must not sum to 0");
  EXPECT_EQ(factory.getEntryCount(), 5u);
}
