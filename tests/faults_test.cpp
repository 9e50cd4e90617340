// Faults that must never look like success.

#include <gtest/gtest.h>

#include <cstdio>
#include <ios>
#include <sstream>
#include <streambuf>
#include <string>

#include "process.h"
#include "signals.h"
#include "streamdriver.h"

namespace {

const std::string SILENCE(24000 * 4 * 2, '\0'); // two segments at 8000 Hz

// Delivers the given bytes, then fails the way a broken device does.
class FailingBuffer : public std::streambuf {
public:
  FailingBuffer(const std::string& bytes) : data(bytes) {
    setg(&data[0], &data[0], &data[0] + data.size());
  }

protected:
  int_type underflow() override { throw std::ios_base::failure("device error"); }

private:
  std::string data;
};

} // namespace

TEST(Faults, AReportThatCannotBeWrittenIsAFailure) {
  testing_process::Options full;
  full.stdoutPath = "/dev/full";
  const testing_process::Outcome o = testing_process::run({TONVERA_TOOL, "8000", "24000"}, SILENCE, full);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "Cannot write to standard output");

  testing_process::Options closed;
  closed.stdoutClosedPipe = true;
  const testing_process::Outcome p = testing_process::run({TONVERA_TOOL, "8000", "24000"}, SILENCE, closed);
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.err, "Cannot write to standard output");
}

TEST(Faults, AReadErrorRejectsTheStreamWhereverItHappens) {
  for (std::size_t good : {std::size_t{0}, std::size_t{1000}, SILENCE.size() / 2, SILENCE.size()}) {
    FailingBuffer buffer(SILENCE.substr(0, good));
    std::istream in(&buffer);
    std::ostringstream out, err;
    const char* argv[] = {"tonvera", "8000", "24000"};
    EXPECT_EQ(TonveraCli::runStreamDriver(3, argv, in, out, err), 2) << good;
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "");
  }

  testing_process::Options directory;
  directory.stdinPath = "/";
  const testing_process::Outcome o = testing_process::run({TONVERA_TOOL, "8000", "24000"}, "", directory);
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "");
}

TEST(Faults, RunningOutOfMemoryIsReportedNotACrash) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a sanitizer's shadow memory does not fit under an address-space limit";
#endif
  // 60 s at 48000 Hz: the segment alone needs more than the limit leaves.
  const std::string segment(48000 * 60 * 4, '\0');
  testing_process::Options tight;
  tight.addressSpaceLimit = 24ul << 20;
  const testing_process::Outcome o = testing_process::run({TONVERA_TOOL, "48000", "2880000"}, segment, tight);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "std::bad_alloc");
  EXPECT_EQ(o.out, "");
}

TEST(Memory, StaysFlatWhateverTheNumberOfSegments) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a sanitizer's own memory hides the tool's";
#endif
  // 60 s segments at 48000 Hz, the largest the tool takes: 1 and 32 of them.
  const std::uint32_t rate = 48000, segment = 60 * rate;
  const std::string bytes = testing_signals::bytesOf(testing_signals::cadence(60, false, rate, segment));
  testing_process::Options once, often;
  often.inputRepeats = 32;
  const testing_process::Outcome one = testing_process::run({TONVERA_TOOL, "48000", "2880000"}, bytes, once);
  const testing_process::Outcome many = testing_process::run({TONVERA_TOOL, "48000", "2880000"}, bytes, often);
  ASSERT_EQ(one.status, 0);
  ASSERT_EQ(many.status, 0);
  std::printf("peak: %ld kB for 1 segment, %ld kB for 32\n", one.peakKilobytes, many.peakKilobytes);
  // All that may grow with the stream is the whole-stream chromagram: 72
  // doubles per hop of 4096 samples at 4363 Hz, about 1.2 MB for 32 minutes,
  // and up to as much again while its storage doubles.
  const long chromagramKilobytes = (32L * 60 * 4363 / 4096 + 1) * 72 * 8 / 1024;
  EXPECT_LT(many.peakKilobytes - one.peakKilobytes, 2 * chromagramKilobytes + 512)
      << one.peakKilobytes << " kB for 1 segment, " << many.peakKilobytes << " kB for 32";
  // And neither holds more than a couple of segments' audio.
  EXPECT_LT(many.peakKilobytes, 100 * 1024);
}
