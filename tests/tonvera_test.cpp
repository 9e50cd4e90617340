#include <gtest/gtest.h>

#include <vector>

#include "expect.h"
#include "constants.h"
#include "signals.h"
#include "tonvera.h"

using namespace Tonvera;
using testing_signals::audioOf;
using testing_signals::cadence;

namespace {

AudioData zeros(std::uint32_t n, std::uint32_t rate) { return audioOf(std::vector<float>(n, 0.0f), rate); }

std::vector<double> magnitudesOf(const Chromagram& c) {
  std::vector<double> out;
  for (std::uint32_t h = 0; h < c.getHops(); ++h)
    for (std::uint32_t b = 0; b < 72; ++b) out.push_back(c.getMagnitude(h, b));
  return out;
}

} // namespace

TEST(Workspace, StartsEmpty) {
  const Workspace w;
  EXPECT_EQ(w.heldBackAudio.getSampleCount(), 0u);
  EXPECT_EQ(w.heldBackAudio.getChannels(), 0u);
  EXPECT_EQ(w.decimatedAudio.getFrameRate(), 0u);
  EXPECT_FALSE(w.accumulatedChromagram);
  EXPECT_FALSE(w.analysisFft);
  EXPECT_FALSE(w.filterDelayLine);
}

TEST(Tonvera, HoldsBackTheSamplesBeyondAWholeDecimationStep) {
  Tonvera::Tonvera facade;
  Workspace w;
  facade.progressiveChromagram(zeros(441005, 44100), w);
  EXPECT_EQ(w.heldBackAudio.getSampleCount(), 5u);
  EXPECT_EQ(w.heldBackAudio.getFrameRate(), 44100u);
  // 44100 decimated samples: 7 whole frames analysed, the rest kept.
  ASSERT_TRUE(w.accumulatedChromagram);
  EXPECT_EQ(w.accumulatedChromagram->getHops(), 7u);
  EXPECT_EQ(w.decimatedAudio.getSampleCount(), 44100u - 7 * 4096);
  EXPECT_EQ(w.decimatedAudio.getFrameRate(), 4410u);
  const Chromagram* chromagram = w.accumulatedChromagram.get();
  const FftAdapter* fft = w.analysisFft.get();
  // The next block gets the five in front: 5 + 5 is one whole step.
  facade.progressiveChromagram(zeros(5, 44100), w);
  EXPECT_EQ(w.heldBackAudio.getSampleCount(), 0u);
  EXPECT_EQ(w.decimatedAudio.getSampleCount(), 44100u - 7 * 4096 + 1);
  EXPECT_EQ(w.accumulatedChromagram.get(), chromagram);
  EXPECT_EQ(w.analysisFft.get(), fft);
}

TEST(Tonvera, NoDecimationAt8000Hz) {
  Tonvera::Tonvera facade;
  Workspace w;
  facade.progressiveChromagram(zeros(24001, 8000), w);
  EXPECT_EQ(w.heldBackAudio.getSampleCount(), 0u);
  EXPECT_EQ(w.decimatedAudio.getFrameRate(), 8000u);
  EXPECT_EQ(w.accumulatedChromagram->getHops(), 2u);
  EXPECT_EQ(w.decimatedAudio.getSampleCount(), 24001u - 2 * 4096);
}

TEST(Tonvera, FinalChromagramFlushesAndPads) {
  struct Case {
    std::uint32_t rate, samples, hops;
  };
  // Buffered n decimated samples are padded to ceil(n / 4096) * 4096 + 12288.
  const Case cases[] = {
      {8000, 5000, 2}, {8000, 4096, 1}, {8000, 0, 0}, {8000, 1, 1},
      {44100, 7, 1},   // the 7 held back samples become one decimated sample
      {44100, 0, 0},
  };
  for (const Case& c : cases) {
    Tonvera::Tonvera facade;
    Workspace w;
    facade.progressiveChromagram(zeros(c.samples, c.rate), w);
    EXPECT_EQ(w.accumulatedChromagram->getHops(), 0u);
    facade.finalChromagram(w);
    EXPECT_EQ(w.heldBackAudio.getSampleCount(), 0u);
    EXPECT_EQ(w.accumulatedChromagram->getHops(), c.hops) << c.rate << " " << c.samples;
    EXPECT_EQ(w.decimatedAudio.getSampleCount(), 12288u) << c.rate << " " << c.samples;
  }
}

TEST(Tonvera, FinalChromagramOnAnUnfedWorkspaceNamesTheMissingRate) {
  Tonvera::Tonvera facade;
  Workspace w;
  EXPECT_EQ(thrownMessage([&] { facade.finalChromagram(w); }), "Frame rate must be > 0");
}

TEST(Tonvera, KeysOfSilenceAndOfMissingChromagrams) {
  Tonvera::Tonvera facade;
  for (std::uint32_t n : {0u, 1u, 44100u, 441005u}) EXPECT_EQ(facade.keyOfAudio(zeros(n, 44100)), KEY_SILENCE);
  const Workspace w;
  EXPECT_EQ(thrownMessage([&] { facade.keyOfChromagram(w); }), "Workspace has no chromagram to classify");
  EXPECT_EQ(thrownMessage([&] { facade.keyOfChromaVector(std::vector<double>(72, 1.0), std::vector<double>(71, 1.0),
                                                         toneProfileMinor()); }),
            "Tone profile must have 72 elements");
  EXPECT_EQ(facade.keyOfChromaVector(toneProfileMajor()), KEY_C_MAJOR);
}

TEST(Tonvera, RefusesRatesTooLowToDecimate) {
  Tonvera::Tonvera facade;
  Workspace w;
  EXPECT_EQ(thrownMessage([&] { facade.progressiveChromagram(zeros(100, 4347), w); }),
            "Frame rate must be >= 4348 to be analysed");
  AudioData noRate;
  noRate.setChannels(1);
  noRate.addToSampleCount(100);
  EXPECT_EQ(thrownMessage([&] { facade.progressiveChromagram(noRate, w); }),
            "Frame rate must be >= 4348 to be analysed");
  EXPECT_EQ(w.heldBackAudio.getChannels(), 0u);
  EXPECT_EQ(w.decimatedAudio.getChannels(), 0u);
  EXPECT_EQ(facade.keyOfAudio(zeros(20000, 4348)), KEY_SILENCE);
}

TEST(Tonvera, OneFrameRatePerWorkspace) {
  Tonvera::Tonvera facade;
  Workspace heldBack;
  facade.progressiveChromagram(zeros(441005, 44100), heldBack);
  EXPECT_EQ(thrownMessage([&] { facade.progressiveChromagram(zeros(48000, 48000), heldBack); }),
            "Cannot prepend audio data with a different frame rate");

  Workspace nothingHeld;
  facade.progressiveChromagram(zeros(441000, 44100), nothingHeld);
  EXPECT_EQ(thrownMessage([&] { facade.progressiveChromagram(zeros(48004, 48000), nothingHeld); }),
            "Cannot append audio data with a different frame rate");

  Workspace sameDecimatedRate;
  facade.progressiveChromagram(zeros(220500, 22050), sameDecimatedRate);
  facade.progressiveChromagram(zeros(441000, 44100), sameDecimatedRate);
  EXPECT_EQ(sameDecimatedRate.decimatedAudio.getFrameRate(), 4410u);
}

TEST(Tonvera, StereoIsAnalysedAsTheMeanOfItsChannels) {
  const std::uint32_t rate = 22050, frames = 3 * rate;
  const std::vector<float> left = cadence(60, false, rate, frames);
  const std::vector<float> right = cadence(57, true, rate, frames);
  std::vector<float> interleaved;
  AudioData mean;
  mean.setChannels(1);
  mean.setFrameRate(rate);
  mean.addToSampleCount(frames);
  for (std::uint32_t i = 0; i < frames; ++i) {
    interleaved.push_back(left[i]);
    interleaved.push_back(right[i]);
    mean.setSample(i, (0.0 + left[i] + right[i]) / 2.0);
  }
  const AudioData stereo = audioOf(interleaved, rate, 2);
  Tonvera::Tonvera facade;
  Workspace a, b;
  facade.progressiveChromagram(stereo, a);
  facade.finalChromagram(a);
  facade.progressiveChromagram(mean, b);
  facade.finalChromagram(b);
  EXPECT_EQ(magnitudesOf(*a.accumulatedChromagram), magnitudesOf(*b.accumulatedChromagram));
  EXPECT_EQ(facade.keyOfAudio(stereo), facade.keyOfChromagram(b));
  EXPECT_EQ(stereo.getChannels(), 2u); // the caller's buffer is not changed
}

TEST(Tonvera, TheSameSegmentGivesTwoWorkspacesTheSameChromagram) {
  const AudioData segment = audioOf(cadence(62, false, 44100, 3 * 44100 + 3), 44100);
  Tonvera::Tonvera facade;
  Workspace a, b;
  facade.progressiveChromagram(segment, a);
  facade.progressiveChromagram(segment, b);
  facade.finalChromagram(a);
  facade.finalChromagram(b);
  EXPECT_EQ(magnitudesOf(*a.accumulatedChromagram), magnitudesOf(*b.accumulatedChromagram));
  EXPECT_EQ(facade.keyOfChromagram(a), KEY_D_MAJOR);
}

TEST(Tonvera, ProgressiveFeedingInBlocksOfAnySize) {
  const std::uint32_t rate = 44100, n = 6 * rate + 17;
  const std::vector<float> signal = cadence(57, true, rate, n);
  Tonvera::Tonvera facade;
  Workspace whole;
  facade.progressiveChromagram(audioOf(signal, rate), whole);
  facade.finalChromagram(whole);
  const std::uint32_t hops = whole.accumulatedChromagram->getHops();
  EXPECT_EQ(facade.keyOfChromagram(whole), KEY_A_MINOR);

  for (std::uint32_t block : {1u, 7u, 4095u, 4096u, 4097u, 100000u}) {
    Workspace w;
    // Blocks of one sample cost a filter call each; a shorter prefix of the
    // stream is enough to check that nothing is lost or repeated.
    const std::uint32_t length = block < 4096 ? rate + 17 : n;
    for (std::uint32_t start = 0; start < length; start += block) {
      const std::uint32_t end = std::min(length, start + block);
      facade.progressiveChromagram(
          audioOf(std::vector<float>(signal.begin() + start, signal.begin() + end), rate), w);
      EXPECT_LT(w.heldBackAudio.getSampleCount(), 10u);
      EXPECT_LT(w.decimatedAudio.getSampleCount(), 16384u);
    }
    facade.finalChromagram(w);
    if (block < 4096) {
      Workspace reference;
      facade.progressiveChromagram(audioOf(std::vector<float>(signal.begin(), signal.begin() + length), rate),
                                   reference);
      facade.finalChromagram(reference);
      EXPECT_EQ(w.accumulatedChromagram->getHops(), reference.accumulatedChromagram->getHops()) << block;
    } else {
      EXPECT_EQ(w.accumulatedChromagram->getHops(), hops) << block;
      EXPECT_EQ(facade.keyOfChromagram(w), KEY_A_MINOR) << block;
    }
  }
}
