// tonvera-file through its real binary, on files written here with libsndfile
// and tagged with TagLib.

#include <gtest/gtest.h>

#include <sndfile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "keynotation.h"
#include "process.h"
#include "signals.h"

using testing_signals::cadence;

namespace {

class FileTool : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/tonvera-file-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  std::string path(const std::string& name) const { return dir + "/" + name; }

  // Writes samples (interleaved when channels > 1) in the given format.
  std::string write(const std::string& name, const std::vector<float>& samples, int rate, int format,
                    int channels = 1) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path(name).c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    if (file) {
      sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / static_cast<std::size_t>(channels)));
      sf_close(file);
    }
    return path(name);
  }

  static std::vector<float> decode(const std::string& file) {
    SF_INFO info{};
    SNDFILE* f = sf_open(file.c_str(), SFM_READ, &info);
    std::vector<float> out(static_cast<std::size_t>(info.frames * info.channels));
    if (f) {
      sf_readf_float(f, out.data(), info.frames);
      sf_close(f);
    }
    return out;
  }

  static testing_process::Outcome tool(std::vector<std::string> args) {
    args.insert(args.begin(), TONVERA_FILE_TOOL);
    return testing_process::run(args, "");
  }

  std::string dir;
};

const int FLOAT_WAV = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

} // namespace

TEST(KeyNotation, EveryKeyInEveryForm) {
  struct Case {
    int key;
    const char *name, *alphanumeric, *openKey, *tkey;
  };
  const Case cases[] = {
      {0, "A major", "11B", "4d", "A"},        {1, "A minor", "8A", "1m", "Am"},
      {2, "B flat major", "6B", "11d", "Bb"},  {3, "B flat minor", "3A", "8m", "Bbm"},
      {4, "B major", "1B", "6d", "B"},         {5, "B minor", "10A", "3m", "Bm"},
      {6, "C major", "8B", "1d", "C"},         {7, "C minor", "5A", "10m", "Cm"},
      {8, "D flat major", "3B", "8d", "Db"},   {9, "D flat minor", "12A", "5m", "Dbm"},
      {10, "D major", "10B", "3d", "D"},       {11, "D minor", "7A", "12m", "Dm"},
      {12, "E flat major", "5B", "10d", "Eb"}, {13, "E flat minor", "2A", "7m", "Ebm"},
      {14, "E major", "12B", "5d", "E"},       {15, "E minor", "9A", "2m", "Em"},
      {16, "F major", "7B", "12d", "F"},       {17, "F minor", "4A", "9m", "Fm"},
      {18, "G flat major", "2B", "7d", "Gb"},  {19, "G flat minor", "11A", "4m", "Gbm"},
      {20, "G major", "9B", "2d", "G"},        {21, "G minor", "6A", "11m", "Gm"},
      {22, "A flat major", "4B", "9d", "Ab"},  {23, "A flat minor", "1A", "6m", "Abm"},
  };
  for (const Case& c : cases) {
    const TonveraFile::KeyNotation n = TonveraFile::notationOf(c.key);
    EXPECT_EQ(n.name, c.name);
    EXPECT_EQ(n.alphanumeric, c.alphanumeric) << c.name;
    EXPECT_EQ(n.openKey, c.openKey) << c.name;
    EXPECT_EQ(n.tkey, c.tkey) << c.name;
  }
  EXPECT_EQ(TonveraFile::notationOf(24).name, "silence");
  EXPECT_EQ(TonveraFile::notationOf(24).tkey, "");
}

TEST_F(FileTool, AgreesWithTheFilterOnWholeSegments) {
  struct Case {
    int rate, seconds, segments, tonic;
    bool minor;
  };
  const Case cases[] = {{8000, 3, 3, 60, false}, {22050, 4, 2, 57, true}, {44100, 3, 2, 64, false}};
  for (const Case& c : cases) {
    std::vector<float> samples;
    for (int s = 0; s < c.segments; ++s) {
      const std::vector<float> part = cadence(c.tonic + 2 * s, c.minor, static_cast<std::uint32_t>(c.rate),
                                              static_cast<std::uint32_t>(c.seconds * c.rate));
      samples.insert(samples.end(), part.begin(), part.end());
    }
    const std::string wav = write("whole.wav", samples, c.rate, FLOAT_WAV);
    const testing_process::Outcome file = tool({"--json", "--segment", std::to_string(c.seconds), wav});
    ASSERT_EQ(file.status, 0) << file.err;
    const testing_process::Outcome filter = testing_process::run(
        {TONVERA_TOOL, std::to_string(c.rate), std::to_string(c.seconds * c.rate)}, testing_signals::bytesOf(samples));
    ASSERT_EQ(filter.status, 0);

    std::smatch f, t;
    const std::string fileLine = file.out;
    ASSERT_TRUE(std::regex_search(fileLine, f, std::regex(R"(\{"file":".*","key":(\d+),.*"segments":\[(.*)\],"scores":\[(.*)\]\})")));
    ASSERT_TRUE(std::regex_match(filter.out, t, std::regex(R"(\{"key":(\d+),"segments":\[(.*)\],"scores":\[(.*)\]\})")));
    EXPECT_EQ(f[1].str(), t[1].str()) << c.rate;
    EXPECT_EQ(f[3].str(), t[3].str()) << c.rate;
    std::string fileKeys;
    const std::string segments = f[2].str();
    const std::regex keyOf(R"("key":(\d+))");
    for (auto it = std::sregex_iterator(segments.begin(), segments.end(), keyOf); it != std::sregex_iterator(); ++it)
      fileKeys += (fileKeys.empty() ? "" : ",") + (*it)[1].str();
    EXPECT_EQ(fileKeys, t[2].str()) << c.rate;
  }
}

TEST_F(FileTool, AFailingFileDoesNotStopTheBatch) {
  const std::vector<float> tonal = cadence(60, false, 8000, 8 * 8000);
  const std::string good = write("good.wav", tonal, 8000, FLOAT_WAV);
  const std::string flac = write("good.flac", cadence(57, true, 16000, 5 * 16000), 16000, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  const std::string brief = write("brief.wav", cadence(60, false, 8000, 2 * 8000), 8000, FLOAT_WAV);
  const std::string silent = write("silent.wav", std::vector<float>(5 * 8000, 0.0f), 8000, FLOAT_WAV);
  const std::string slow = write("slow.wav", cadence(60, false, 6000, 5 * 6000), 6000, FLOAT_WAV);
  const std::string missing = path("missing.wav");
  std::FILE* junk = std::fopen(path("junk.wav").c_str(), "w");
  std::fputs("not audio at all", junk);
  std::fclose(junk);

  const testing_process::Outcome o = tool({"-j", "1", good, missing, brief, silent, slow, path("junk.wav"), flac});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(lines(o.out), (std::vector<std::string>{
                              good + ": C major (8B, 1d); segments: C major",
                              flac + ": A minor (8A, 1m); segments: A minor",
                          }));
  const std::vector<std::string> errors = lines(o.err);
  ASSERT_EQ(errors.size(), 5u) << o.err;
  EXPECT_EQ(errors[0].rfind("tonvera-file: " + missing + ": cannot decode: ", 0), 0u) << errors[0];
  EXPECT_EQ(errors[1], "tonvera-file: " + brief + ": shorter than 3 seconds");
  EXPECT_EQ(errors[2], "tonvera-file: " + silent + ": no key: the audio is silent");
  EXPECT_EQ(errors[3], "tonvera-file: " + slow + ": frame rate 6000 Hz is below 8000 Hz");
  EXPECT_EQ(errors[4].rfind("tonvera-file: " + path("junk.wav") + ": cannot decode: ", 0), 0u) << errors[4];

  const testing_process::Outcome allGood = tool({good, flac});
  EXPECT_EQ(allGood.status, 0);
  EXPECT_EQ(allGood.err, "");
}

TEST_F(FileTool, AHeaderPromisingHugeSegmentsIsRefused) {
  // A float WAV header claiming 1024 channels at 192000 Hz, with ten frames.
  const std::uint32_t channels = 1024, rate = 192000, dataBytes = channels * 4 * 10;
  std::string wav = "RIFF";
  auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) wav += static_cast<char>((v >> (8 * i)) & 0xff); };
  auto u16 = [&](std::uint32_t v) { for (int i = 0; i < 2; ++i) wav += static_cast<char>((v >> (8 * i)) & 0xff); };
  u32(4 + 8 + 16 + 8 + dataBytes);
  wav += "WAVEfmt ";
  u32(16);
  u16(3);
  u16(channels);
  u32(rate);
  u32(rate * channels * 4);
  u16(channels * 4);
  u16(32);
  wav += "data";
  u32(dataBytes);
  wav += std::string(dataBytes, '\0');
  std::FILE* f = std::fopen(path("wide.wav").c_str(), "wb");
  std::fwrite(wav.data(), 1, wav.size(), f);
  std::fclose(f);
  const testing_process::Outcome o = tool({path("wide.wav")});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "tonvera-file: " + path("wide.wav") + ": too many channels or too high a frame rate for one segment\n");
}

TEST_F(FileTool, SegmentsOfAnyLengthAndAPartialLastOne) {
  // 13 s in segments of 5: the last 3 s are a segment of their own; 12 s: the
  // last 2 s only join the whole-file key. No limit on the number of segments.
  const std::string thirteen = write("13.wav", cadence(62, false, 8000, 13 * 8000), 8000, FLOAT_WAV);
  const std::string twelve = write("12.wav", cadence(62, false, 8000, 12 * 8000), 8000, FLOAT_WAV);
  const std::string long_ = write("long.wav", cadence(62, false, 8000, 102 * 8000), 8000, FLOAT_WAV);
  const testing_process::Outcome o = tool({"--json", "--segment", "5", thirteen, twelve});
  ASSERT_EQ(o.status, 0) << o.err;
  const std::vector<std::string> out = lines(o.out);
  ASSERT_EQ(out.size(), 2u);
  const std::regex starts(R"("start":(\d+))");
  auto startsOf = [&](const std::string& line) {
    std::string s;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), starts); it != std::sregex_iterator(); ++it)
      s += (s.empty() ? "" : ",") + (*it)[1].str();
    return s;
  };
  EXPECT_EQ(startsOf(out[0]), "0,5,10");
  EXPECT_EQ(startsOf(out[1]), "0,5");
  // 34 segments of 3 s: more than the filter's 32.
  const testing_process::Outcome many = tool({"--json", "--segment", "3", long_});
  ASSERT_EQ(many.status, 0);
  const std::string all = startsOf(many.out);
  EXPECT_EQ(std::count(all.begin(), all.end(), ','), 33);
  EXPECT_EQ(all.substr(all.size() - 6), ",96,99");
}

TEST_F(FileTool, ParallelFilesPrintTheSameLinesInTheSameOrder) {
  std::vector<std::string> args = {"-j", "1"};
  const int rates[] = {8000, 11025, 22050, 44100, 48000, 16000};
  for (int i = 0; i < 6; ++i)
    args.push_back(write("f" + std::to_string(i) + ".wav", cadence(55 + 3 * i, i % 2 == 1, static_cast<std::uint32_t>(rates[i]),
                                                                 static_cast<std::uint32_t>((4 + i) * rates[i])),
                         rates[i], FLOAT_WAV));
  // A stereo file: its channels are averaged, as the library does.
  const std::vector<float> left = cadence(62, false, 44100, 5 * 44100), right = cadence(50, false, 44100, 5 * 44100);
  std::vector<float> stereo;
  for (std::size_t i = 0; i < left.size(); ++i) {
    stereo.push_back(left[i]);
    stereo.push_back(right[i]);
  }
  args.push_back(write("stereo.flac", stereo, 44100, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 2));
  const testing_process::Outcome one = tool(args);
  EXPECT_EQ(lines(one.out).back(), args.back() + ": D major (10B, 3d); segments: D major");
  args[1] = "2";
  const testing_process::Outcome two = tool(args);
  args[1] = "6";
  const testing_process::Outcome six = tool(args);
  ASSERT_EQ(one.status, 0);
  EXPECT_EQ(lines(one.out).size(), 7u);
  EXPECT_EQ(two.out, one.out);
  EXPECT_EQ(six.out, one.out);
}

TEST_F(FileTool, CommandLine) {
  const testing_process::Outcome help = tool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: tonvera-file [options] FILE...\n", 0), 0u);
  const std::vector<std::vector<std::string>> wrong = {
      {}, {"--segment", "2", "x.wav"}, {"--segment", "61", "x.wav"}, {"--segment"}, {"-j", "0", "x.wav"},
      {"--bogus", "x.wav"}, {"--segment", "5s", "x.wav"}};
  for (const auto& args : wrong) {
    const testing_process::Outcome o = tool(args);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("usage: tonvera-file"), std::string::npos);
  }
}

TEST_F(FileTool, WriteTagsSetsOnlyTheKey) {
  const std::vector<float> g = cadence(55, false, 44100, 5 * 44100); // G major
  const std::string flac = write("g.flac", g, 44100, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  const std::string mp3 = write("g.mp3", g, 44100, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
  const std::string silent = write("silent.flac", std::vector<float>(5 * 44100, 0.0f), 44100, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  for (const std::string& file : {flac, mp3, silent}) {
    TagLib::FileRef ref(file.c_str());
    ASSERT_FALSE(ref.isNull()) << file;
    ref.tag()->setTitle("A title");
    ref.tag()->setArtist("An artist");
    ref.tag()->setComment("Kept as it is");
    ref.save();
  }
  const std::vector<float> flacAudio = decode(flac), mp3Audio = decode(mp3);

  const testing_process::Outcome o = tool({"--write-tags", flac, mp3, silent});
  EXPECT_EQ(o.status, 1); // the silent file has no key
  EXPECT_EQ(o.err, "tonvera-file: " + silent + ": no key: the audio is silent\n");

  {
    TagLib::FLAC::File f(flac.c_str());
    ASSERT_TRUE(f.xiphComment());
    EXPECT_EQ(f.xiphComment()->fieldListMap()["INITIALKEY"].toString().to8Bit(), "G");
    EXPECT_EQ(f.xiphComment()->title().to8Bit(), "A title");
    EXPECT_EQ(f.xiphComment()->artist().to8Bit(), "An artist");
    EXPECT_EQ(f.xiphComment()->comment().to8Bit(), "Kept as it is");
  }
  {
    TagLib::MPEG::File f(mp3.c_str());
    ASSERT_TRUE(f.ID3v2Tag());
    ASSERT_FALSE(f.ID3v2Tag()->frameListMap()["TKEY"].isEmpty());
    EXPECT_EQ(f.ID3v2Tag()->frameListMap()["TKEY"].front()->toString().to8Bit(), "G");
    EXPECT_EQ(f.ID3v2Tag()->title().to8Bit(), "A title");
    EXPECT_EQ(f.ID3v2Tag()->artist().to8Bit(), "An artist");
    EXPECT_EQ(f.ID3v2Tag()->comment().to8Bit(), "Kept as it is");
  }
  {
    TagLib::FLAC::File f(silent.c_str());
    EXPECT_FALSE(f.xiphComment()->contains("INITIALKEY"));
  }
  EXPECT_EQ(decode(flac), flacAudio);
  EXPECT_EQ(decode(mp3), mp3Audio);
}
