// The demo's helper.
//
//   tonvera-example generate RATE SEGMENT_SECONDS
//       writes a built-in example recording to stdout as raw mono float32: one
//       segment per chord progression, all in G major, each chord a few
//       harmonic piano-like notes with a soft attack and decay.
//   tonvera-example describe
//       reads a report from stdin and names its keys ("G major").

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const KEY_NAMES[25] = {
    "A major",      "A minor",      "B flat major", "B flat minor", "B major",      "B minor",
    "C major",      "C minor",      "D flat major", "D flat minor", "D major",      "D minor",
    "E flat major", "E flat minor", "E major",      "E minor",      "F major",      "F minor",
    "G flat major", "G flat minor", "G major",      "G minor",      "A flat major", "A flat minor",
    "silence",
};

constexpr double PI = 3.14159265358979323846;

double hz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// G major, MIDI note numbers: G2 = 43, G3 = 55, G4 = 67.
const std::vector<std::vector<std::vector<int>>> PROGRESSIONS = {
    {{43, 59, 62, 67}, {48, 60, 64, 67}, {50, 57, 62, 66}, {43, 59, 62, 67}}, // I IV V I
    {{43, 55, 59, 62}, {40, 55, 59, 64}, {48, 55, 60, 64}, {50, 54, 57, 62}, {43, 55, 59, 67}}, // I vi IV V I
    {{47, 55, 62, 67}, {45, 57, 60, 64}, {50, 54, 60, 62}, {43, 55, 59, 67}}, // I6 ii V7 I
};

int generate(int rate, int seconds) {
  if (rate < 8000 || rate > 48000 || seconds < 3 || seconds > 60) {
    std::cerr << "usage: tonvera-example generate RATE(8000-48000) SEGMENT_SECONDS(3-60)\n";
    return 2;
  }
  const std::size_t segment = static_cast<std::size_t>(rate) * static_cast<std::size_t>(seconds);
  std::vector<float> out(segment);
  for (const auto& progression : PROGRESSIONS) {
    const std::size_t chordLength = segment / progression.size();
    for (std::size_t i = 0; i < segment; ++i) {
      const std::size_t c = std::min(i / chordLength, progression.size() - 1);
      const double t = static_cast<double>(i - c * chordLength) / rate;
      const double envelope = std::min(1.0, t * 50.0) * std::exp(-1.5 * t);
      double v = 0.0;
      for (int note : progression[c])
        for (int h = 1; h <= 5; ++h) {
          const double f = hz(note) * h;
          if (f < rate / 2.0) v += std::sin(2.0 * PI * f * static_cast<double>(i) / rate) / (h * h);
        }
      out[i] = static_cast<float>(0.08 * envelope * v);
    }
    std::fwrite(out.data(), sizeof(float), out.size(), stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int describe() {
  const std::string report((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  static const std::regex shape(R"(\{"key":(\d+),"segments":\[([\d,]+)\],"scores":\[.*\]\})");
  std::smatch m;
  if (!std::regex_match(report, m, shape)) {
    std::cerr << "tonvera-example: not a report\n";
    return 1;
  }
  auto name = [](const std::string& number) {
    const int key = std::atoi(number.c_str());
    return key >= 0 && key <= 24 ? KEY_NAMES[key] : "unknown";
  };
  std::cout << "Whole stream: " << name(m[1]) << ". Segments:";
  std::stringstream segments(m[2]);
  const char* separator = " ";
  for (std::string item; std::getline(segments, item, ',');) {
    std::cout << separator << name(item);
    separator = ", ";
  }
  std::cout << ".\n";
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "generate" && argc == 4) return generate(std::atoi(argv[2]), std::atoi(argv[3]));
  if (command == "describe" && argc == 2) return describe();
  std::cerr << "usage: tonvera-example generate RATE SEGMENT_SECONDS | describe\n";
  return 2;
}
