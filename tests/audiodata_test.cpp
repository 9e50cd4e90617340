#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "audiodata.h"
#include "expect.h"
#include "signals.h"

using Tonvera::AudioData;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();

AudioData buffer(const std::vector<double>& values, std::uint32_t channels = 1,
                 std::uint32_t rate = 8000) {
  AudioData audio;
  if (channels) audio.setChannels(channels);
  if (rate) audio.setFrameRate(rate);
  audio.addToSampleCount(static_cast<std::uint32_t>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i)
    audio.setSample(static_cast<std::uint32_t>(i), values[i]);
  return audio;
}

using testing_signals::samplesOf;

} // namespace

TEST(AudioData, NewBufferHasNoFormat) {
  AudioData audio;
  EXPECT_EQ(audio.getSampleCount(), 0u);
  EXPECT_EQ(audio.getChannels(), 0u);
  EXPECT_EQ(audio.getFrameRate(), 0u);
  EXPECT_EQ(thrownMessage([&] { audio.getFrameCount(); }), "Channels must be > 0");
}

TEST(AudioData, ZeroFormatValuesAreRefusedAndKeepThePreviousOnes) {
  AudioData audio;
  audio.setChannels(2);
  audio.setFrameRate(44100);
  EXPECT_EQ(thrownMessage([&] { audio.setChannels(0); }), "New channel count must be > 0");
  EXPECT_EQ(thrownMessage([&] { audio.setFrameRate(0); }), "New frame rate must be > 0");
  EXPECT_EQ(audio.getChannels(), 2u);
  EXPECT_EQ(audio.getFrameRate(), 44100u);
}

TEST(AudioData, IndexedAccessChecksBoundsBeforeValues) {
  AudioData audio = buffer({1, 2, 3, 4, 5});
  EXPECT_EQ(audio.getSample(4), 5.0);
  EXPECT_EQ(thrownMessage([&] { audio.getSample(5); }), "Cannot get out-of-bounds sample (5/5)");
  EXPECT_EQ(thrownMessage([&] { audio.getSample(7); }), "Cannot get out-of-bounds sample (7/5)");
  EXPECT_EQ(thrownMessage([&] { audio.setSample(5, NaN); }), "Cannot set out-of-bounds sample (5/5)");
  for (double bad : {NaN, INF, -INF, -NaN}) {
    EXPECT_EQ(thrownMessage([&] { audio.setSample(0, bad); }), "Cannot set sample to NaN");
    EXPECT_EQ(audio.getSample(0), 1.0);
  }
  const double accepted[] = {-0.0, std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()};
  for (double good : accepted) {
    audio.setSample(0, good);
    EXPECT_EQ(audio.getSample(0), good);
  }
  EXPECT_TRUE(std::signbit((audio.setSample(1, -0.0), audio.getSample(1))));
}

TEST(AudioData, FrameAccessChecksChannelsThenFrameThenChannel) {
  AudioData audio = buffer({0, 1, 2, 3, 4}, 2);
  EXPECT_EQ(audio.getFrameCount(), 2u);
  EXPECT_EQ(audio.getSampleByFrame(1, 1), 3.0);
  EXPECT_EQ(thrownMessage([&] { audio.getSampleByFrame(2, 0); }), "Cannot get out-of-bounds frame (2/2)");
  EXPECT_EQ(thrownMessage([&] { audio.getSampleByFrame(1, 2); }), "Cannot get out-of-bounds channel (2/2)");
  EXPECT_EQ(thrownMessage([&] { audio.getSampleByFrame(9, 9); }), "Cannot get out-of-bounds frame (9/2)");
  EXPECT_EQ(thrownMessage([&] { audio.setSampleByFrame(2, 0, 1); }), "Cannot set out-of-bounds frame (2/2)");
  EXPECT_EQ(thrownMessage([&] { audio.setSampleByFrame(1, 2, 1); }), "Cannot set out-of-bounds channel (2/2)");
  EXPECT_EQ(thrownMessage([&] { audio.setSampleByFrame(1, 1, INF); }), "Cannot set sample to NaN");
  audio.setSampleByFrame(1, 0, 9);
  EXPECT_EQ(audio.getSample(2), 9.0);
  EXPECT_EQ(audio.getSample(4), 4.0); // the lone fifth sample: reachable by index only

  AudioData formatless = buffer({1, 2}, 0, 0);
  EXPECT_EQ(thrownMessage([&] { formatless.getSampleByFrame(0, 0); }), "Channels must be > 0");
  EXPECT_EQ(thrownMessage([&] { formatless.setSampleByFrame(5, 5, NaN); }), "Channels must be > 0");
}

TEST(AudioData, GrowthAppendsZeros) {
  AudioData audio;
  audio.addToSampleCount(3);
  EXPECT_EQ(samplesOf(audio), (std::vector<double>{0, 0, 0}));
  EXPECT_EQ(audio.getChannels(), 0u);
  audio.addToSampleCount(0);
  EXPECT_EQ(audio.getSampleCount(), 3u);
  EXPECT_EQ(thrownMessage([&] { audio.addToFrameCount(1); }), "Channels must be > 0");

  AudioData stereo = buffer({7}, 2);
  stereo.addToFrameCount(3);
  EXPECT_EQ(samplesOf(stereo), (std::vector<double>{7, 0, 0, 0, 0, 0, 0}));
}

TEST(AudioData, GrowthBeyondTheLargestCountThrowsInsteadOfWrapping) {
  const char* message = "Audio data cannot hold more than 4294967295 samples";
  AudioData audio = buffer({1}, 2);
  EXPECT_EQ(thrownMessage([&] { audio.addToSampleCount(4294967295u); }), message);
  EXPECT_EQ(thrownMessage([&] { audio.addToFrameCount(2147483648u); }), message);
  EXPECT_EQ(audio.getSampleCount(), 1u);
}

TEST(AudioData, JoiningAdoptsTheFormatOnlyWhenBothFieldsAreZero) {
  const AudioData stereo = buffer({1, 2, 3, 4}, 2, 8000);
  for (bool front : {false, true}) {
    AudioData fresh;
    fresh.addToSampleCount(1); // samples do not stop a formatless buffer adopting
    front ? fresh.prepend(stereo) : fresh.append(stereo);
    EXPECT_EQ(fresh.getChannels(), 2u);
    EXPECT_EQ(fresh.getFrameRate(), 8000u);
    EXPECT_EQ(samplesOf(fresh), front ? (std::vector<double>{1, 2, 3, 4, 0})
                                      : (std::vector<double>{0, 1, 2, 3, 4}));
  }

  AudioData rateOnly;
  rateOnly.setFrameRate(8000);
  EXPECT_EQ(thrownMessage([&] { rateOnly.append(buffer({1}, 1, 8000)); }),
            "Cannot append audio data with a different number of channels");
  EXPECT_EQ(rateOnly.getChannels(), 0u);

  AudioData mono = buffer({5}, 1, 8000);
  EXPECT_EQ(thrownMessage([&] { mono.append(stereo); }),
            "Cannot append audio data with a different number of channels");
  EXPECT_EQ(thrownMessage([&] { mono.prepend(buffer({1}, 2, 16000)); }),
            "Cannot prepend audio data with a different number of channels");
  EXPECT_EQ(thrownMessage([&] { mono.append(buffer({1}, 1, 16000)); }),
            "Cannot append audio data with a different frame rate");
  EXPECT_EQ(thrownMessage([&] { mono.prepend(buffer({1}, 1, 16000)); }),
            "Cannot prepend audio data with a different frame rate");
  EXPECT_EQ(samplesOf(mono), std::vector<double>{5});

  AudioData a, b;
  a.append(b);
  EXPECT_EQ(a.getSampleCount(), 0u);
  EXPECT_EQ(a.getChannels(), 0u);
}

TEST(AudioData, JoiningABufferToItselfDoublesIt) {
  AudioData a = buffer({1, 2, 3});
  a.append(a);
  EXPECT_EQ(samplesOf(a), (std::vector<double>{1, 2, 3, 1, 2, 3}));
  AudioData b = buffer({4, 5});
  b.prepend(b);
  EXPECT_EQ(samplesOf(b), (std::vector<double>{4, 5, 4, 5}));
}

TEST(AudioData, CursorsWalkIndependentlyAndNeverLeaveTheBuffer) {
  AudioData empty;
  empty.resetIterators();
  EXPECT_FALSE(empty.readIteratorWithinUpperBound());
  EXPECT_FALSE(empty.writeIteratorWithinUpperBound());

  AudioData one = buffer({3});
  one.resetIterators();
  EXPECT_TRUE(one.readIteratorWithinUpperBound());
  EXPECT_TRUE(one.writeIteratorWithinUpperBound());
  one.advanceReadIterator(0);
  EXPECT_EQ(one.getSampleAtReadIterator(), 3.0);
  one.setSampleAtWriteIterator(NaN); // no finiteness test at the cursor
  EXPECT_TRUE(std::isnan(one.getSample(0)));
  one.advanceReadIterator(1);
  EXPECT_FALSE(one.readIteratorWithinUpperBound());
  EXPECT_TRUE(one.writeIteratorWithinUpperBound());
  one.advanceWriteIterator(5);
  EXPECT_FALSE(one.writeIteratorWithinUpperBound());
  // Past the end, a cursor refuses instead of touching memory.
  EXPECT_EQ(thrownMessage([&] { one.getSampleAtReadIterator(); }), "Cannot get out-of-bounds sample (1/1)");
  EXPECT_EQ(thrownMessage([&] { one.setSampleAtWriteIterator(1); }), "Cannot set out-of-bounds sample (5/1)");

  // A pass can read a buffer and overwrite it behind the read position.
  AudioData audio = buffer({1, 2, 3, 4});
  audio.resetIterators();
  audio.advanceReadIterator(1);
  while (audio.readIteratorWithinUpperBound()) {
    audio.setSampleAtWriteIterator(audio.getSampleAtReadIterator() * 10);
    audio.advanceReadIterator(1);
    audio.advanceWriteIterator(1);
  }
  EXPECT_EQ(samplesOf(audio), (std::vector<double>{20, 30, 40, 4}));

  // A copy's cursors belong to the copy.
  AudioData copy = audio;
  copy.setSampleAtWriteIterator(-1);
  EXPECT_EQ(audio.getSample(3), 4.0);
}

TEST(AudioData, BulkReadFollowsTheReadCursor) {
  AudioData audio = buffer({1, 2, 3, 4, 5});
  audio.resetIterators();
  audio.advanceReadIterator(2);
  double out[8] = {};
  EXPECT_EQ(audio.readSamplesAtReadIterator(out, 2), 2u);
  EXPECT_EQ(out[0], 3.0);
  EXPECT_EQ(out[1], 4.0);
  EXPECT_EQ(audio.readSamplesAtReadIterator(out, 8), 1u);
  EXPECT_EQ(out[0], 5.0);
  EXPECT_EQ(audio.readSamplesAtReadIterator(out, 8), 0u);
}

TEST(AudioData, BulkWriteAndAppend) {
  AudioData audio = buffer({0, 0, 0, 0, 0});
  audio.resetIterators();
  audio.advanceWriteIterator(1);
  const double values[] = {7, 8, 9};
  EXPECT_EQ(audio.writeSamplesAtWriteIterator(values, 3, 2), 2u);
  EXPECT_EQ(samplesOf(audio), (std::vector<double>{0, 7, 0, 8, 0}));

  const float floats[] = {1.5f, -0.0f, 3.0f};
  audio.appendSamples(floats, 3);
  EXPECT_EQ(samplesOf(audio), (std::vector<double>{0, 7, 0, 8, 0, 1.5, -0.0, 3}));
  const float bad[] = {1.0f, std::numeric_limits<float>::infinity()};
  EXPECT_EQ(thrownMessage([&] { audio.appendSamples(bad, 2); }), "Cannot set sample to NaN");
  EXPECT_EQ(audio.getSampleCount(), 8u);

  // Long enough to span several storage blocks, joined at both ends.
  std::vector<float> many(10000);
  for (std::size_t i = 0; i < many.size(); ++i) many[i] = static_cast<float>(i);
  AudioData big;
  big.appendSamples(many.data(), 10000);
  AudioData both = big;
  both.prepend(big);
  both.append(big);
  EXPECT_EQ(both.getSampleCount(), 30000u);
  for (std::uint32_t i = 0; i < 30000; i += 7) EXPECT_EQ(both.getSample(i), i % 10000);
  both.setChannels(1);
  both.setFrameRate(8000);
  both.discardFramesFromFront(12345);
  EXPECT_EQ(both.getSample(0), 2345.0);
  auto tail = both.sliceSamplesFromBack(9000);
  EXPECT_EQ(tail->getSample(0), 1000.0);
  EXPECT_EQ(both.getSampleCount(), 30000u - 12345 - 9000);
  EXPECT_EQ(both.getSample(both.getSampleCount() - 1), 999.0);
}

// Editing operations.

TEST(AudioDataEditing, ReduceToMonoAveragesWholeFrames) {
  struct Case {
    std::vector<double> in;
    std::uint32_t channels;
    std::vector<double> out;
  };
  const Case cases[] = {
      {{1, 3, 5, 7}, 2, {2, 6}},
      {{1, 3, 5, 7, 9}, 2, {2, 6}},
      {{1, 2, 4}, 3, {7.0 / 3.0}},
      {{5}, 2, {}},
      {{1, 2, 3}, 1, {1, 2, 3}},
      {{1, 2, 3}, 0, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    AudioData audio = buffer(c.in, c.channels, 30);
    const AudioData copy = audio; // shares storage until one side writes
    audio.reduceToMono();
    EXPECT_EQ(samplesOf(audio), c.out);
    EXPECT_EQ(samplesOf(copy), c.in);
    EXPECT_EQ(audio.getChannels(), c.channels == 0 ? 0u : 1u);
    EXPECT_EQ(audio.getFrameRate(), 30u);
  }
}

TEST(AudioDataEditing, DownsamplePicksOrAverages) {
  AudioData picked = buffer({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 1, 30);
  const AudioData copy = picked;
  picked.downsample(3, true);
  EXPECT_EQ(samplesOf(picked), (std::vector<double>{0, 3, 6, 9}));
  EXPECT_EQ(samplesOf(copy), (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(picked.getFrameRate(), 10u);

  AudioData averaged = buffer({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 1, 30);
  averaged.downsample(4, false);
  EXPECT_EQ(samplesOf(averaged), (std::vector<double>{2.5, 6.5, 4.75}));
  EXPECT_EQ(averaged.getFrameRate(), 7u);

  AudioData zeroChannels = buffer({1, 2, 3, 4}, 0, 8);
  zeroChannels.downsample(2, true);
  EXPECT_EQ(samplesOf(zeroChannels), (std::vector<double>{1, 3}));

  AudioData empty = buffer({}, 1, 8);
  empty.downsample(2, true);
  EXPECT_EQ(empty.getSampleCount(), 0u);
  EXPECT_EQ(empty.getFrameRate(), 4u);
}

TEST(AudioDataEditing, DownsampleRefusesBeforeChangingAnything) {
  AudioData stereo = buffer({1, 2, 3, 4}, 2, 8000);
  stereo.downsample(1, false); // factor 1 tests nothing
  EXPECT_EQ(thrownMessage([&] { stereo.downsample(2, true); }), "Apply to monophonic only");
  EXPECT_EQ(samplesOf(stereo), (std::vector<double>{1, 2, 3, 4}));

  // A rate below the factor is refused before the samples are decimated, so
  // the buffer never holds decimated samples labelled with the old rate.
  AudioData slow = buffer({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 1, 3);
  EXPECT_EQ(thrownMessage([&] { slow.downsample(4, true); }), "New frame rate must be > 0");
  EXPECT_EQ(slow.getSampleCount(), 10u);
  EXPECT_EQ(slow.getFrameRate(), 3u);

  EXPECT_EQ(thrownMessage([&] { slow.downsample(0, true); }), "Downsampling factor must be > 0");
  EXPECT_EQ(thrownMessage([&] { stereo.downsample(0, true); }), "Downsampling factor must be > 0");
  EXPECT_EQ(slow.getSampleCount(), 10u);
}

TEST(AudioDataEditing, DiscardFramesFromFront) {
  AudioData audio = buffer({0, 1, 2, 3, 4}, 2);
  audio.discardFramesFromFront(0);
  EXPECT_EQ(audio.getSampleCount(), 5u);
  EXPECT_EQ(thrownMessage([&] { audio.discardFramesFromFront(3); }), "Cannot discard 3 frames of 2");
  audio.discardFramesFromFront(2);
  EXPECT_EQ(samplesOf(audio), std::vector<double>{4});

  AudioData formatless = buffer({1}, 0, 0);
  EXPECT_EQ(thrownMessage([&] { formatless.discardFramesFromFront(0); }), "Channels must be > 0");
}

TEST(AudioDataEditing, SliceSamplesFromBack) {
  AudioData audio = buffer({1, 2, 3, 4}, 2, 8000);
  auto none = audio.sliceSamplesFromBack(0);
  EXPECT_EQ(none->getSampleCount(), 0u);
  EXPECT_EQ(none->getChannels(), 2u);
  EXPECT_EQ(none->getFrameRate(), 8000u);
  EXPECT_EQ(audio.getSampleCount(), 4u);

  auto last = audio.sliceSamplesFromBack(3); // samples, not frames
  EXPECT_EQ(samplesOf(*last), (std::vector<double>{2, 3, 4}));
  EXPECT_EQ(samplesOf(audio), std::vector<double>{1});
  EXPECT_EQ(thrownMessage([&] { audio.sliceSamplesFromBack(2); }), "Cannot slice 2 samples of 1");
  auto all = audio.sliceSamplesFromBack(1);
  EXPECT_EQ(samplesOf(*all), std::vector<double>{1});
  EXPECT_EQ(audio.getSampleCount(), 0u);
  EXPECT_EQ(audio.getChannels(), 2u);

  AudioData noRate = buffer({1, 2}, 1, 0);
  EXPECT_EQ(thrownMessage([&] { noRate.sliceSamplesFromBack(0); }), "New frame rate must be > 0");
  EXPECT_EQ(thrownMessage([&] { noRate.sliceSamplesFromBack(3); }), "Cannot slice 3 samples of 2");
  EXPECT_EQ(noRate.getSampleCount(), 2u);
}
