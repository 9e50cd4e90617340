// Reports for a set of generated streams, byte for byte as the first, plain
// implementation printed them: the fast paths must not change one digit.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "golden_cases.h"
#include "process.h"
#include "signals.h"

TEST(GoldenReports, EveryStreamReportsAsThePlainImplementationDid) {
  std::ifstream file(TONVERA_GOLDEN);
  ASSERT_TRUE(file) << TONVERA_GOLDEN;
  std::vector<std::string> expected;
  for (std::string line; std::getline(file, line);) expected.push_back(line);
  ASSERT_EQ(expected.size(), sizeof GOLDEN_CASES / sizeof GOLDEN_CASES[0]);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const GoldenCase& c = GOLDEN_CASES[i];
    const std::string input =
        testing_signals::bytesOf(testing_signals::goldenStream(c.rate, c.segmentLength, c.segments, c.seed));
    const testing_process::Outcome o = testing_process::run(
        {TONVERA_TOOL, std::to_string(c.rate), std::to_string(c.segmentLength)}, input);
    EXPECT_EQ(o.status, 0) << i;
    EXPECT_EQ(o.err, "") << i;
    EXPECT_EQ(o.out, expected[i]) << "case " << i << " at " << c.rate << " Hz";
  }
}
