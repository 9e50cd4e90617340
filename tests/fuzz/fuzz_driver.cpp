// The whole stream driver: the first bytes choose the command line and how
// the rest is laid out as standard input.

#include <cstdint>
#include <regex>
#include <sstream>
#include <string>

#include "fuzzinput.h"
#include "streamdriver.h"

namespace {

const char* const RATES[] = {"8000", "8001", "11025", "7999", "48001", "0", "-8000", "8000Hz", " 9000", "abc", ""};
// Segment lengths as multiples of the rate, or fixed texts.
const char* const LENGTHS[] = {"3x", "3x-1", "3x+1", "4x", "60x+1", "24000", "x", "junk", "", "+24000"};

std::string lengthFor(const char* pattern, int rate) {
  const std::string s = pattern;
  if (s == "3x") return std::to_string(3 * rate);
  if (s == "3x-1") return std::to_string(3 * rate - 1);
  if (s == "3x+1") return std::to_string(3 * rate + 1);
  if (s == "4x") return std::to_string(4 * rate);
  if (s == "60x+1") return std::to_string(60 * rate + 1);
  if (s == "x") return std::to_string(rate);
  return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const char* rateText = RATES[input.byte() % (sizeof RATES / sizeof RATES[0])];
  const char* lengthPattern = LENGTHS[input.byte() % (sizeof LENGTHS / sizeof LENGTHS[0])];
  const std::uint8_t layout = input.byte();
  const std::string rest = input.rest();

  const int rate = std::atoi(rateText);
  const std::string lengthText = lengthFor(lengthPattern, rate);
  const long segmentLength = std::atol(lengthText.c_str());

  // Either the bytes as they are, or tiled to fill 1 to 3 whole segments and
  // then cut or extended by a few bytes.
  std::string stream = rest;
  if ((layout & 0x80) && !rest.empty() && segmentLength > 0 && segmentLength <= 200000) {
    const std::size_t segments = 1 + (layout & 0x3);
    const std::size_t bytes = segments * static_cast<std::size_t>(segmentLength) * 4;
    stream.clear();
    while (stream.size() < bytes) stream += rest;
    stream.resize(bytes + ((layout >> 2) & 0x7) % 5);
  }

  std::istringstream in(stream);
  std::ostringstream out, err;
  const char* argv[] = {"tonvera", rateText, lengthText.c_str(), "extra"};
  const int argc = (layout & 0x40) ? 4 : 3;
  const int status = TonveraCli::runStreamDriver(argc, argv, in, out, err);

  FUZZ_CHECK(status == 0 || status == 1 || status == 2, "exit status is 0, 1 or 2");
  if (status == 2) FUZZ_CHECK(out.str().empty() && err.str().empty(), "a rejection writes nothing");
  if (status == 0) {
    static const std::regex report(
        R"(\{"key":([0-9]|1[0-9]|2[0-4]),"segments":\[([0-9]|1[0-9]|2[0-4])(,([0-9]|1[0-9]|2[0-4])){0,31}\],"scores":\[[-+.e0-9]+(,[-+.e0-9]+){23}\]\})");
    FUZZ_CHECK(std::regex_match(out.str(), report), "a success writes one report");
    FUZZ_CHECK(err.str().empty(), "a success writes nothing to standard error");
    FUZZ_CHECK(stream.size() % (static_cast<std::size_t>(segmentLength) * 4) == 0, "only whole segments succeed");
  }
  return 0;
}
