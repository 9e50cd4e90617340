// Differential fuzzing of Chromagram against a plain model of rows.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "chromagram.h"
#include "exception.h"
#include "fuzzinput.h"

using Tonvera::Chromagram;

namespace {

using Rows = std::vector<std::vector<double>>;

double modelGet(const Rows& r, std::uint32_t hop, std::uint32_t band) {
  if (hop >= r.size()) throw ModelFailure{boundsMessage("Cannot get magnitude of out-of-bounds hop (", hop, r.size())};
  if (band >= 72) throw ModelFailure{boundsMessage("Cannot get magnitude of out-of-bounds band (", band, 72)};
  return r[hop][band];
}

void modelSet(Rows& r, std::uint32_t hop, std::uint32_t band, double v) {
  if (hop >= r.size()) throw ModelFailure{boundsMessage("Cannot set magnitude of out-of-bounds hop (", hop, r.size())};
  if (band >= 72) throw ModelFailure{boundsMessage("Cannot set magnitude of out-of-bounds band (", band, 72)};
  if (!std::isfinite(v)) throw ModelFailure{"Cannot set magnitude to NaN"};
  r[hop][band] = v;
}

std::vector<double> modelCollapse(const Rows& r) {
  std::vector<double> out(72, 0.0);
  if (r.empty()) return out;
  for (const auto& row : r)
    for (std::size_t b = 0; b < 72; ++b) out[b] += row[b] / static_cast<double>(r.size());
  return out;
}

void compare(const Chromagram& c, const Rows& r) {
  FUZZ_CHECK(c.getHops() == r.size(), "hops");
  for (std::uint32_t h = 0; h < r.size(); ++h)
    for (std::uint32_t b = 0; b < 72; ++b) FUZZ_CHECK(sameBits(c.getMagnitude(h, b), r[h][b]), "magnitudes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const std::uint32_t first = in.byte() % 5, second = in.byte() % 5;
  Chromagram matrices[2] = {Chromagram(first), Chromagram(second)};
  Rows models[2] = {Rows(first, std::vector<double>(72, 0.0)), Rows(second, std::vector<double>(72, 0.0))};
  int steps = 0;
  while (!in.empty() && steps++ < 300) {
    const std::uint8_t op = in.byte();
    const int t = op & 1;
    Chromagram& c = matrices[t];
    Rows& r = models[t];
    std::string real, expected;
    switch ((op >> 1) % 5) {
    case 0: {
      const std::uint32_t hop = in.count(), band = in.byte() < 200 ? in.byte() % 80 : in.u32();
      double x = 0, y = 0;
      real = outcomeOf([&] { x = c.getMagnitude(hop, band); });
      expected = outcomeOf([&] { y = modelGet(r, hop, band); });
      if (real.empty()) FUZZ_CHECK(sameBits(x, y), "getMagnitude");
      break;
    }
    case 1: {
      const std::uint32_t hop = in.count(), band = in.byte() % 80;
      const double v = in.value();
      real = outcomeOf([&] { c.setMagnitude(hop, band, v); });
      expected = outcomeOf([&] { modelSet(r, hop, band, v); });
      break;
    }
    case 2: {
      const std::vector<double> x = c.collapseToOneHop(), y = modelCollapse(r);
      for (std::size_t b = 0; b < 72; ++b) FUZZ_CHECK(sameBits(x[b], y[b]), "collapseToOneHop");
      break;
    }
    case 3: {
      const int source = (in.byte() & 1) ? t : 1 - t;
      if (r.size() + models[source].size() > 64) break;
      const Rows that = models[source];
      c.append(matrices[source]);
      r.insert(r.end(), that.begin(), that.end());
      break;
    }
    case 4: {
      const Chromagram copy = c;
      compare(copy, r);
      break;
    }
    }
    if (real != expected) {
      std::fprintf(stderr, "op %d: real \"%s\", model \"%s\"\n", (op >> 1) % 5, real.c_str(), expected.c_str());
      FUZZ_CHECK(false, "the thrown message agrees with the model");
    }
    compare(c, r);
  }
  return 0;
}
