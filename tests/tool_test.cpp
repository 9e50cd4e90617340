// The tool end to end: the report's exact text through the real binary.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "constants.h"
#include "process.h"
#include "resultreport.h"
#include "signals.h"
#include "streamdriver.h"
#include "toneprofile.h"
#include "tonvera.h"

using testing_signals::bytesOf;
using testing_signals::cadence;

namespace {

testing_process::Outcome tool(std::uint32_t rate, std::uint32_t segment, const std::string& input) {
  return testing_process::run({TONVERA_TOOL, std::to_string(rate), std::to_string(segment)}, input);
}

std::string percentG(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

struct Report {
  int key = -1;
  std::vector<int> segments;
  std::vector<std::string> scores;
};

// Parses the report's one fixed shape; fails the test on anything else.
Report parse(const std::string& text) {
  static const std::regex shape(R"(\{"key":(\d+),"segments":\[(\d+(?:,\d+)*)\],"scores":\[([^\]]*)\]\})");
  std::smatch m;
  Report r;
  if (!std::regex_match(text, m, shape)) {
    ADD_FAILURE() << "not a report: " << text;
    return r;
  }
  r.key = std::stoi(m[1]);
  std::stringstream segments(m[2]), scores(m[3]);
  for (std::string item; std::getline(segments, item, ',');) r.segments.push_back(std::stoi(item));
  for (std::string item; std::getline(scores, item, ',');) r.scores.push_back(item);
  return r;
}

} // namespace

TEST(Tool, SilenceGivesTheFixedReport) {
  const testing_process::Outcome o = tool(8000, 24000, std::string(2 * 24000 * 4, '\0'));
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out, "{\"key\":24,\"segments\":[24,24],\"scores\":[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0]}");
}

TEST(Tool, TonalSignalsAreClassifiedAsWritten) {
  struct Case {
    int tonic;
    bool minor;
    int key;
  };
  const Case cases[] = {
      {60, false, 6},  // C major
      {57, true, 1},   // A minor
      {62, false, 10}, // D major
      {64, true, 15},  // E minor
      {55, false, 20}, // G major
      {65, true, 17},  // F minor
      {58, false, 2},  // B flat major
      {56, true, 23},  // A flat minor
  };
  for (std::uint32_t rate : {8000u, 22050u, 44100u, 48000u}) {
    for (const Case& c : cases) {
      const std::uint32_t segment = 4 * rate;
      const testing_process::Outcome o = tool(rate, segment, bytesOf(cadence(c.tonic, c.minor, rate, segment)));
      ASSERT_EQ(o.status, 0);
      const Report r = parse(o.out);
      EXPECT_EQ(r.key, c.key) << rate << " " << c.tonic;
      // One segment: both workspaces got the same samples through the same calls.
      EXPECT_EQ(r.segments, std::vector<int>{r.key});
    }
  }
}

TEST(Tool, ASegmentsKeyDoesNotDependOnItsNeighbours) {
  const std::uint32_t rate = 22050, segment = 3 * rate;
  const std::string c = bytesOf(cadence(60, false, rate, segment));
  const std::string a = bytesOf(cadence(57, true, rate, segment));
  const std::string e = bytesOf(cadence(64, false, rate, segment));
  const Report first = parse(tool(rate, segment, c + a + e).out);
  const Report second = parse(tool(rate, segment, e + c + a).out);
  EXPECT_EQ(first.segments, (std::vector<int>{6, 1, 14}));
  EXPECT_EQ(second.segments, (std::vector<int>{14, 6, 1}));
}

TEST(Tool, ScoresAreTheWholeStreamSimilaritiesInPercentGFormat) {
  const std::uint32_t rate = 44100, segment = 3 * rate + 7;
  const std::vector<float> one = cadence(62, true, rate, segment);
  const std::vector<float> two = cadence(65, false, rate, segment);
  std::vector<float> both(one);
  both.insert(both.end(), two.begin(), two.end());
  const testing_process::Outcome o = tool(rate, segment, bytesOf(both));
  ASSERT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out.find_first_of(" \t\r\n"), std::string::npos);
  const Report r = parse(o.out);

  // The same analysis in-process: one workspace fed both segments.
  Tonvera::Tonvera facade;
  Tonvera::Workspace whole;
  facade.progressiveChromagram(testing_signals::audioOf(one, rate), whole);
  facade.progressiveChromagram(testing_signals::audioOf(two, rate), whole);
  facade.finalChromagram(whole);
  const std::vector<double> chroma = whole.accumulatedChromagram->collapseToOneHop();
  const Tonvera::ToneProfile major(Tonvera::toneProfileMajor()), minor(Tonvera::toneProfileMinor());
  ASSERT_EQ(r.scores.size(), 24u);
  for (int j = 0; j < 24; ++j) {
    const double score = (j % 2 == 0 ? major : minor).cosineSimilarity(chroma, j / 2);
    EXPECT_EQ(r.scores[static_cast<std::size_t>(j)], percentG(score)) << j;
  }
  EXPECT_EQ(r.key, facade.keyOfChromaVector(chroma));
  EXPECT_EQ(r.segments.size(), 2u);
}

TEST(ResultReport, TinyScoresUseExponentNotation) {
  // A chroma vector almost orthogonal to the major profile at offset 0.
  const std::vector<double>& p = Tonvera::toneProfileMajor();
  std::vector<double> q(72);
  for (std::size_t o = 0; o < 6; ++o)
    for (std::size_t k = 0; k < 12; ++k) q[12 * o + k] = p[12 * o + (k + 3) % 12];
  std::vector<double> chroma(72);
  double aq = 0, qq = 0;
  for (std::size_t i = 0; i < 72; ++i) {
    chroma[i] = (i % 5 == 0) ? 1.0 : 0.25;
    aq += chroma[i] * q[i];
    qq += q[i] * q[i];
  }
  for (std::size_t i = 0; i < 72; ++i) chroma[i] += (2e-6 - aq / qq) * q[i];
  Tonvera::Tonvera facade;
  std::ostringstream out;
  TonveraCli::writeResultReport(out, facade, chroma, {Tonvera::KEY_C_MAJOR});
  const Report r = parse(out.str());
  const double score = Tonvera::ToneProfile(p).cosineSimilarity(chroma, 0);
  ASSERT_LT(std::fabs(score), 1e-4);
  ASSERT_GT(std::fabs(score), 0.0);
  EXPECT_EQ(r.scores[0], percentG(score));
  EXPECT_NE(r.scores[0].find("e-0"), std::string::npos) << r.scores[0];
  EXPECT_EQ(r.segments, std::vector<int>{6});
}

TEST(Tool, TheLast33rdOrNaNSegmentStillRejectsTheStream) {
  const std::uint32_t rate = 8000, segment = 24000;
  const std::string tonal = bytesOf(cadence(60, false, rate, segment));
  std::string stream;
  for (int i = 0; i < 32; ++i) stream += tonal;
  const testing_process::Outcome tooMany = tool(rate, segment, stream + tonal);
  EXPECT_EQ(tooMany.status, 2);
  EXPECT_EQ(tooMany.out, "");
  EXPECT_EQ(tooMany.err, "");

  std::string last = tonal;
  const float nan = std::nanf("");
  std::memcpy(&last[last.size() - 4], &nan, 4);
  const testing_process::Outcome withNaN = tool(rate, segment, tonal + tonal + last);
  EXPECT_EQ(withNaN.status, 2);
  EXPECT_EQ(withNaN.out, "");
  EXPECT_EQ(withNaN.err, "");
}

TEST(StreamDriverInProcess, SameReportAsTheBinary) {
  const std::uint32_t rate = 8000, segment = 24000;
  const std::string input = bytesOf(cadence(64, true, rate, segment));
  std::istringstream in(input);
  std::ostringstream out, err;
  const char* argv[] = {"tonvera", "8000", "24000"};
  EXPECT_EQ(TonveraCli::runStreamDriver(3, argv, in, out, err), 0);
  EXPECT_EQ(out.str(), tool(rate, segment, input).out);
  EXPECT_EQ(err.str(), "");
}

TEST(Tool, TheDemoExampleIsInTheKeyItWasWrittenIn) {
  for (std::uint32_t rate : {8000u, 44100u}) {
    const testing_process::Outcome example =
        testing_process::run({TONVERA_EXAMPLE, "generate", std::to_string(rate), "4"}, "");
    ASSERT_EQ(example.status, 0);
    const testing_process::Outcome o = tool(rate, 4 * rate, example.out);
    const Report r = parse(o.out);
    EXPECT_EQ(r.key, 20) << rate; // G major
    EXPECT_EQ(r.segments, (std::vector<int>{20, 20, 20})) << rate;
    const testing_process::Outcome named = testing_process::run({TONVERA_EXAMPLE, "describe"}, o.out);
    EXPECT_EQ(named.out, "Whole stream: G major. Segments: G major, G major, G major.\n");
  }
}
