#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "chromatransformfactory.h"
#include "constants.h"
#include "lowpassfilterfactory.h"
#include "signals.h"
#include "temporalwindowfactory.h"
#include "tonvera.h"

using namespace Tonvera;

namespace {

constexpr int THREADS = 8;

// Runs body(t) on THREADS threads released together.
template <typename Body> void together(Body body) {
  std::atomic<int> waiting{THREADS};
  std::vector<std::thread> threads;
  for (int t = 0; t < THREADS; ++t)
    threads.emplace_back([&, t] {
      --waiting;
      while (waiting.load() > 0) std::this_thread::yield();
      body(t);
    });
  for (std::thread& thread : threads) thread.join();
}

} // namespace

TEST(CacheThreads, EveryThreadGetsTheSamePointerForTheSameKey) {
  const std::uint32_t rates[] = {4410, 4363, 8000, 5512, 7350, 6000};
  const double corner = getLastFrequency() * 1.012;
  for (int round = 0; round < 5; ++round) {
    ChromaTransformFactory transforms;
    TemporalWindowFactory windows;
    LowPassFilterFactory filters;
    std::vector<std::vector<const void*>> seen(THREADS);
    together([&](int t) {
      for (int i = 0; i < 6; ++i) {
        const std::uint32_t rate = rates[(t + i) % 6];
        seen[t].push_back(transforms.getChromaTransform(rate));
        seen[t].push_back(windows.getTemporalWindow(1024u * (1 + (t + i) % 6)));
        seen[t].push_back(filters.getLowPassFilter(160, rate * 4, corner, 2048));
      }
    });
    for (int t = 0; t < THREADS; ++t)
      for (int i = 0; i < 6; ++i) {
        const std::uint32_t rate = rates[(t + i) % 6];
        EXPECT_EQ(seen[t][3 * i], transforms.getChromaTransform(rate));
        EXPECT_EQ(seen[t][3 * i + 1], windows.getTemporalWindow(1024u * (1 + (t + i) % 6)));
        EXPECT_EQ(seen[t][3 * i + 2], filters.getLowPassFilter(160, rate * 4, corner, 2048));
      }
    EXPECT_EQ(transforms.getEntryCount(), 6u);
    EXPECT_EQ(windows.getEntryCount(), 6u);
    EXPECT_EQ(filters.getEntryCount(), 6u);
  }
}

TEST(CacheThreads, ProfilesInitialiseOnceFromManyThreads) {
  std::vector<const std::vector<double>*> major(THREADS), minor(THREADS);
  together([&](int t) {
    major[t] = &toneProfileMajor();
    minor[t] = &toneProfileMinor();
  });
  for (int t = 0; t < THREADS; ++t) {
    EXPECT_EQ(major[t], &toneProfileMajor());
    EXPECT_EQ(minor[t]->size(), 72u);
  }
}

TEST(FacadeThreads, SharedFacadeGivesEachWorkspaceTheSingleThreadedResult) {
  // Every thread analyses three streams of its own, each at another rate and
  // fed in blocks of another size, so every cache sees misses and hits from
  // several threads at once.
  const std::uint32_t rates[] = {44100, 48000, 22050, 8000, 32000, 11025};
  struct Stream {
    AudioData audio;
    std::uint32_t block;
  };
  std::vector<std::vector<Stream>> work(THREADS);
  for (int t = 0; t < THREADS; ++t)
    for (int i = 0; i < 3; ++i) {
      const std::uint32_t rate = rates[(t + 2 * i) % 6];
      work[t].push_back({testing_signals::audioOf(testing_signals::cadence(55 + t + i, (t + i) % 2 == 1, rate, 3 * rate), rate),
                         static_cast<std::uint32_t>(4096 + 10007 * (t + i))});
    }
  auto analyse = [](Tonvera::Tonvera& facade, const Stream& stream) {
    Workspace w;
    const std::uint32_t n = stream.audio.getSampleCount();
    for (std::uint32_t start = 0; start < n; start += stream.block) {
      AudioData block;
      block.setChannels(1);
      block.setFrameRate(stream.audio.getFrameRate());
      const std::uint32_t end = std::min(n, start + stream.block);
      block.addToSampleCount(end - start);
      for (std::uint32_t i = start; i < end; ++i) block.setSample(i - start, stream.audio.getSample(i));
      facade.progressiveChromagram(block, w);
    }
    facade.finalChromagram(w);
    return w.accumulatedChromagram->collapseToOneHop();
  };
  std::vector<std::vector<std::vector<double>>> expected(THREADS), actual(THREADS);
  {
    Tonvera::Tonvera facade;
    for (int t = 0; t < THREADS; ++t)
      for (const Stream& stream : work[t]) expected[t].push_back(analyse(facade, stream));
  }
  Tonvera::Tonvera shared;
  together([&](int t) {
    for (const Stream& stream : work[static_cast<std::size_t>(t)]) actual[t].push_back(analyse(shared, stream));
  });
  for (int t = 0; t < THREADS; ++t) EXPECT_EQ(actual[t], expected[t]) << t;
}
