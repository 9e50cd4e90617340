#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "chromagram.h"
#include "expect.h"

using Tonvera::Chromagram;

TEST(Chromagram, EmptyMatrix) {
  const Chromagram empty(0);
  EXPECT_EQ(empty.getHops(), 0u);
  EXPECT_EQ(empty.collapseToOneHop(), std::vector<double>(72, 0.0));
  EXPECT_EQ(thrownMessage([&] { empty.getMagnitude(0, 0); }),
            "Cannot get magnitude of out-of-bounds hop (0/0)");
}

TEST(Chromagram, AccessChecksHopThenBandThenValue) {
  Chromagram c(3);
  for (std::uint32_t h = 0; h < 3; ++h)
    for (std::uint32_t b = 0; b < 72; ++b) EXPECT_EQ(c.getMagnitude(h, b), 0.0);
  EXPECT_EQ(thrownMessage([&] { c.getMagnitude(3, 72); }), "Cannot get magnitude of out-of-bounds hop (3/3)");
  EXPECT_EQ(thrownMessage([&] { c.getMagnitude(0, 72); }), "Cannot get magnitude of out-of-bounds band (72/72)");
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(thrownMessage([&] { c.setMagnitude(3, 0, nan); }), "Cannot set magnitude of out-of-bounds hop (3/3)");
  EXPECT_EQ(thrownMessage([&] { c.setMagnitude(0, 72, nan); }), "Cannot set magnitude of out-of-bounds band (72/72)");
  EXPECT_EQ(thrownMessage([&] { c.setMagnitude(0, 0, nan); }), "Cannot set magnitude to NaN");
  EXPECT_EQ(thrownMessage([&] { c.setMagnitude(0, 0, -inf); }), "Cannot set magnitude to NaN");
  EXPECT_EQ(c.getMagnitude(0, 0), 0.0);
  c.setMagnitude(2, 71, -1.5);
  EXPECT_EQ(c.getMagnitude(2, 71), -1.5);
}

TEST(Chromagram, CollapseDividesEachTermBeforeAdding) {
  Chromagram two(2);
  two.setMagnitude(0, 5, 1.0);
  two.setMagnitude(1, 5, 3.0);
  EXPECT_EQ(two.collapseToOneHop()[5], 2.0);

  Chromagram one(1);
  for (std::uint32_t b = 0; b < 72; ++b) one.setMagnitude(0, b, b * 0.1);
  const std::vector<double> row = one.collapseToOneHop();
  for (std::uint32_t b = 0; b < 72; ++b) EXPECT_EQ(row[b], b * 0.1);

  // 0.1/3 + 0.2/3 + 0.3/3 rounds differently from (0.1 + 0.2 + 0.3)/3.
  Chromagram three(3);
  three.setMagnitude(0, 0, 0.1);
  three.setMagnitude(1, 0, 0.2);
  three.setMagnitude(2, 0, 0.3);
  EXPECT_EQ(three.collapseToOneHop()[0], 0.1 / 3.0 + 0.2 / 3.0 + 0.3 / 3.0);
}

TEST(Chromagram, AppendAddsRowsAfterTheLast) {
  Chromagram a(3), b(2);
  b.setMagnitude(0, 1, 4.0);
  b.setMagnitude(1, 2, 5.0);
  a.append(Chromagram(0));
  EXPECT_EQ(a.getHops(), 3u);
  a.append(b);
  EXPECT_EQ(a.getHops(), 5u);
  EXPECT_EQ(a.getMagnitude(3, 1), 4.0);
  EXPECT_EQ(a.getMagnitude(4, 2), 5.0);
  EXPECT_EQ(b.getHops(), 2u);

  b.append(b);
  EXPECT_EQ(b.getHops(), 4u);
  EXPECT_EQ(b.getMagnitude(2, 1), 4.0);
  EXPECT_EQ(b.getMagnitude(3, 2), 5.0);
}
