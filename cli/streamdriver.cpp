#include "streamdriver.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

#include "audiodata.h"
#include "streamanalysis.h"

namespace TonveraCli {

namespace {

constexpr std::int32_t SMALLEST_FRAME_RATE = 8000;
constexpr std::int32_t LARGEST_FRAME_RATE = 48000;
constexpr std::int32_t SHORTEST_SEGMENT_SECONDS = 3;
constexpr std::int32_t LONGEST_SEGMENT_SECONDS = 60;
constexpr std::size_t MOST_SEGMENTS = 32;
// The bit pattern of the largest finite float; anything above it, once the
// sign is cleared, is an infinity or a NaN.
constexpr std::uint32_t LARGEST_FINITE_BITS = 0x7f7fffffu;

} // namespace

int runStreamDriver(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                    std::ostream& err) {
  if (argc != 3) return EXIT_REJECTED;
  const std::int32_t frameRate = std::atoi(argv[1]);
  const std::int32_t segmentLength = std::atoi(argv[2]);
  if (frameRate < SMALLEST_FRAME_RATE || frameRate > LARGEST_FRAME_RATE) return EXIT_REJECTED;
  if (segmentLength < SHORTEST_SEGMENT_SECONDS * frameRate) return EXIT_REJECTED;
  if (segmentLength > LONGEST_SEGMENT_SECONDS * frameRate) return EXIT_REJECTED;

  try {
    StreamAnalysis analysis;
    const std::size_t samplesPerSegment = static_cast<std::size_t>(segmentLength);
    const std::streamsize bytesPerSegment =
        static_cast<std::streamsize>(samplesPerSegment * sizeof(float));
    std::vector<float> buffer(samplesPerSegment);

    for (;;) {
      in.read(reinterpret_cast<char*>(buffer.data()), bytesPerSegment);
      const std::streamsize got = in.gcount();
      // A failing read is an unusable stream, wherever it happens: what was
      // read before it must not be reported as the whole stream.
      if (in.bad()) return EXIT_REJECTED;
      if (got != bytesPerSegment) {
        if (got > 0) return EXIT_REJECTED;
        if (analysis.getSegmentCount() == 0) return EXIT_REJECTED;
        break;
      }
      if (analysis.getSegmentCount() == MOST_SEGMENTS) return EXIT_REJECTED;

      // Any infinity or NaN rejects the stream before the segment is built.
      std::uint32_t worst = 0;
      for (std::size_t i = 0; i < samplesPerSegment; ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, &buffer[i], sizeof bits);
        worst = std::max(worst, bits & 0x7fffffffu);
      }
      if (worst > LARGEST_FINITE_BITS) return EXIT_REJECTED;

      Tonvera::AudioData segment;
      segment.setFrameRate(static_cast<std::uint32_t>(frameRate));
      segment.setChannels(1);
      segment.appendSamples(buffer.data(), static_cast<std::uint32_t>(segmentLength));
      analysis.analyseSegment(segment);
    }

    analysis.finish(out);
    // A report that never arrived is not a success.
    out.flush();
    if (!out) {
      err << "Cannot write to standard output";
      return EXIT_EXCEPTION;
    }
    return EXIT_REPORTED;
  } catch (const std::exception& e) {
    err << e.what();
    return EXIT_EXCEPTION;
  }
}

} // namespace TonveraCli
