// The stream driver's rules, through the real binary and real pipes.

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "process.h"

namespace {

std::string floats(std::size_t n, float value = 0.0f) {
  std::string bytes(n * sizeof(float), '\0');
  for (std::size_t i = 0; i < n; ++i) std::memcpy(&bytes[i * sizeof(float)], &value, sizeof(float));
  return bytes;
}

std::string withFloatAt(std::string bytes, std::size_t index, float value) {
  std::memcpy(&bytes[index * sizeof(float)], &value, sizeof(float));
  return bytes;
}

testing_process::Outcome tool(std::vector<std::string> args, const std::string& input) {
  args.insert(args.begin(), TONVERA_TOOL);
  return testing_process::run(args, input);
}

const std::size_t SEGMENT = 24000; // 3 s at 8000 Hz
const std::string ONE = floats(SEGMENT);

} // namespace

TEST(StreamDriver, CommandLine) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{}, 2},
      {{"8000"}, 2},
      {{"8000", "24000", "1"}, 2},
      {{"8000", "24000"}, 0},
      {{"48000", "144000"}, 0},
      {{"7999", "24000"}, 2},
      {{"48001", "144003"}, 2},
      {{"8000", "23999"}, 2},
      {{"8000", "480000"}, 0},
      {{"8000", "480001"}, 2},
      // atoi: digits up to the first other character, blanks and a sign first
      {{"8000Hz", "24000 samples"}, 0},
      {{"  8000", "\t24000"}, 0},
      {{"+8000", "+24000"}, 0},
      {{"-8000", "24000"}, 2},
      {{"rate", "24000"}, 2},
      {{"", ""}, 2},
      {{"8000", "x24000"}, 2},
      {{"0x1F40", "24000"}, 2},
  };
  for (const Case& c : cases) {
    // One whole segment of silence for an accepted command line.
    std::size_t samples = SEGMENT;
    if (c.status == 0) samples = static_cast<std::size_t>(std::atoi(c.args[1].c_str()));
    const testing_process::Outcome o = tool(c.args, floats(samples));
    std::string shown;
    for (const std::string& a : c.args) shown += "'" + a + "' ";
    EXPECT_EQ(o.status, c.status) << shown;
    EXPECT_EQ(o.err, "");
    if (c.status == 2) {
      EXPECT_EQ(o.out, "");
    } else {
      EXPECT_EQ(o.out.rfind("{\"key\":24,\"segments\":[24],", 0), 0u) << o.out;
    }
  }
}

TEST(StreamDriver, StreamsThatAreNotAWholeNumberOfSegments) {
  struct Case {
    std::string name, input;
    int status;
  };
  std::vector<Case> cases = {
      {"empty", "", 2},
      {"one stray byte", std::string(1, '\0'), 2},
      {"three bytes", std::string(3, '\0'), 2},
      {"a segment and one byte", ONE + std::string(1, '\0'), 2},
      {"two segments and three bytes", ONE + ONE + std::string(3, '\0'), 2},
      {"a segment less one byte", ONE.substr(1), 2},
      {"two segments and most of a third", ONE + ONE + ONE.substr(4), 2},
      {"two segments", ONE + ONE, 0},
  };
  for (const Case& c : cases) {
    const testing_process::Outcome o = tool({"8000", "24000"}, c.input);
    EXPECT_EQ(o.status, c.status) << c.name;
    EXPECT_EQ(o.err, "") << c.name;
    if (c.status == 2) {
      EXPECT_EQ(o.out, "") << c.name;
    }
  }
}

TEST(StreamDriver, AtMost32Segments) {
  std::string stream;
  for (int i = 0; i < 32; ++i) stream += ONE;
  const testing_process::Outcome ok = tool({"8000", "24000"}, stream);
  EXPECT_EQ(ok.status, 0);
  std::string segments = "[24";
  for (int i = 1; i < 32; ++i) segments += ",24";
  EXPECT_NE(ok.out.find("\"segments\":" + segments + "]"), std::string::npos) << ok.out;

  const testing_process::Outcome tooMany = tool({"8000", "24000"}, stream + ONE);
  EXPECT_EQ(tooMany.status, 2);
  EXPECT_EQ(tooMany.out, "");
  EXPECT_EQ(tooMany.err, "");
}

TEST(StreamDriver, NonFiniteSamplesRejectTheStream) {
  const float values[] = {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
                          std::numeric_limits<float>::signaling_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity()};
  for (float bad : values) {
    for (std::size_t at : {std::size_t{0}, SEGMENT - 1}) {
      const testing_process::Outcome o = tool({"8000", "24000"}, ONE + withFloatAt(ONE, at, bad));
      EXPECT_EQ(o.status, 2) << bad << " at " << at;
      EXPECT_EQ(o.out, "");
      EXPECT_EQ(o.err, "");
    }
  }
}

TEST(StreamDriver, EveryFiniteValueIsAccepted) {
  const float values[] = {std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                          std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::min() / 2,
                          -0.0f};
  for (float good : values) {
    std::string segment = ONE;
    for (std::size_t i = 0; i < SEGMENT; i += 3) segment = withFloatAt(segment, i, good);
    const testing_process::Outcome o = tool({"8000", "24000"}, segment);
    EXPECT_EQ(o.status, 0) << good;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out.rfind("{\"key\":", 0), 0u);
  }
}
