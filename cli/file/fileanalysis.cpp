#include "fileanalysis.h"

#include <sndfile.h>

#include <exception>
#include <memory>
#include <sstream>

#include "constants.h"
#include "toneprofile.h"

namespace TonveraFile {

namespace {

constexpr std::uint32_t SMALLEST_RATE = 8000;
constexpr std::uint32_t SHORTEST_SECONDS = 3;

struct CloseFile {
  void operator()(SNDFILE* file) const { sf_close(file); }
};

FileResult failure(const std::string& message) {
  FileResult result;
  result.error = message;
  return result;
}

} // namespace

FileResult analyseFile(Tonvera::Tonvera& facade, const std::string& path, const FileOptions& options) {
  SF_INFO info{};
  if (options.rawRate != 0) {
    info.samplerate = static_cast<int>(options.rawRate);
    info.channels = 1;
    info.format = SF_FORMAT_RAW | SF_FORMAT_FLOAT;
  }
  const std::unique_ptr<SNDFILE, CloseFile> file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file) return failure(std::string("cannot decode: ") + sf_strerror(nullptr));
  if (info.samplerate < static_cast<int>(SMALLEST_RATE)) {
    std::ostringstream message;
    message << "frame rate " << info.samplerate << " Hz is below " << SMALLEST_RATE << " Hz";
    return failure(message.str());
  }
  const std::uint32_t rate = static_cast<std::uint32_t>(info.samplerate);
  const std::uint32_t channels = static_cast<std::uint32_t>(info.channels);
  const std::uint64_t segmentFrames = static_cast<std::uint64_t>(options.segmentSeconds) * rate;
  // A segment is one buffer of audio; a header promising more than 2^27
  // samples per segment (60 s of 384 kHz audio in five channels) is refused
  // rather than trusted with gigabytes of memory.
  if (channels == 0 || segmentFrames * channels > (std::uint64_t{1} << 27))
    return failure("too many channels or too high a frame rate for one segment");

  FileResult result;
  result.frameRate = rate;
  std::uint64_t frames = 0;
  try {
    std::vector<float> buffer(static_cast<std::size_t>(segmentFrames * channels));
    Tonvera::Workspace whole;
    for (;;) {
      const sf_count_t got = sf_readf_float(file.get(), buffer.data(), static_cast<sf_count_t>(segmentFrames));
      if (got <= 0) break;
      Tonvera::AudioData segment;
      segment.setFrameRate(rate);
      segment.setChannels(channels);
      segment.appendSamples(buffer.data(), static_cast<std::uint32_t>(got) * channels);
      facade.progressiveChromagram(segment, whole);
      if (static_cast<std::uint64_t>(got) == segmentFrames ||
          static_cast<std::uint64_t>(got) >= static_cast<std::uint64_t>(SHORTEST_SECONDS) * rate) {
        Tonvera::Workspace own;
        facade.progressiveChromagram(segment, own);
        facade.finalChromagram(own);
        const std::vector<double> chroma = own.accumulatedChromagram->collapseToOneHop();
        result.segments.push_back({static_cast<double>(frames) / rate,
                                   facade.keyOfChromaVector(chroma, Tonvera::toneProfileMajor(),
                                                            Tonvera::toneProfileMinor())});
      }
      frames += static_cast<std::uint64_t>(got);
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR)
      return failure(std::string("cannot decode: ") + sf_strerror(file.get()));
    if (frames < static_cast<std::uint64_t>(SHORTEST_SECONDS) * rate)
      return failure("shorter than 3 seconds");
    facade.finalChromagram(whole);
    const std::vector<double> chroma = whole.accumulatedChromagram->collapseToOneHop();
    result.key = facade.keyOfChromaVector(chroma, Tonvera::toneProfileMajor(), Tonvera::toneProfileMinor());
    const Tonvera::ToneProfile major(Tonvera::toneProfileMajor()), minor(Tonvera::toneProfileMinor());
    for (std::int32_t r = 0; r < 12; ++r) {
      result.scores.push_back(major.cosineSimilarity(chroma, r));
      result.scores.push_back(minor.cosineSimilarity(chroma, r));
    }
  } catch (const std::exception& e) {
    return failure(e.what());
  }
  if (result.key == Tonvera::KEY_SILENCE) return failure("no key: the audio is silent");
  return result;
}

} // namespace TonveraFile
