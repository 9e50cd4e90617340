// tonvera-file: the key of audio files, for everyday use.

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "fileanalysis.h"
#include "keynotation.h"
#include "tagwriter.h"

namespace {

const char* const USAGE =
    "usage: tonvera-file [options] FILE...\n"
    "Estimates the musical key of each audio file (WAV, AIFF, FLAC, Ogg Vorbis, Opus, MP3)\n"
    "and prints one line per file: the key of the whole file in three notations and the\n"
    "key of every segment.\n"
    "\n"
    "  --segment SECONDS  segment length, 3 to 60 (default 30)\n"
    "  -j N               files analysed at once (default: the number of cores)\n"
    "  --json             one JSON object per line instead\n"
    "  --write-tags       write the key into each file's key tag (TKEY, INITIALKEY)\n"
    "  --raw RATE         the files are headerless mono float32 at RATE Hz\n"
    "  -h, --help         this text\n"
    "\n"
    "Exit status: 0 every file analysed, 1 some file failed, 2 wrong command line.\n";

struct Options {
  TonveraFile::FileOptions file;
  unsigned jobs = 0;
  bool json = false;
  bool writeTags = false;
  std::vector<std::string> paths;
};

bool parseNumber(const char* text, long low, long high, long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text, &end, 10);
  return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

// Returns 0 to go on, or the exit status.
int parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](long low, long high, long& out) {
      if (i + 1 >= argc || !parseNumber(argv[i + 1], low, high, out)) {
        std::cerr << "tonvera-file: " << arg << " needs a number from " << low << " to " << high << "\n"
                  << USAGE;
        return false;
      }
      ++i;
      return true;
    };
    long number = 0;
    if (arg == "-h" || arg == "--help") {
      std::cout << USAGE;
      return -1;
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg == "--write-tags") {
      options.writeTags = true;
    } else if (arg == "--segment") {
      if (!value(3, 60, number)) return 2;
      options.file.segmentSeconds = static_cast<std::uint32_t>(number);
    } else if (arg == "-j") {
      if (!value(1, 256, number)) return 2;
      options.jobs = static_cast<unsigned>(number);
    } else if (arg == "--raw") {
      if (!value(8000, 1000000, number)) return 2;
      options.file.rawRate = static_cast<std::uint32_t>(number);
    } else if (arg == "--") {
      for (++i; i < argc; ++i) options.paths.push_back(argv[i]);
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << "tonvera-file: unknown option " << arg << "\n" << USAGE;
      return 2;
    } else {
      options.paths.push_back(arg);
    }
  }
  if (options.paths.empty()) {
    std::cerr << "tonvera-file: no file given\n" << USAGE;
    return 2;
  }
  return 0;
}

std::string jsonString(const std::string& text) {
  std::ostringstream out;
  out << '"';
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') out << '\\' << c;
    else if (c < 0x20) {
      static const char* const HEX = "0123456789abcdef";
      out << "\\u00" << HEX[c >> 4] << HEX[c & 15];
    } else out << c;
  }
  out << '"';
  return out.str();
}

std::string lineOf(const std::string& path, const TonveraFile::FileResult& r, bool json) {
  const TonveraFile::KeyNotation key = TonveraFile::notationOf(r.key);
  std::ostringstream out;
  if (json) {
    out << "{\"file\":" << jsonString(path) << ",\"key\":" << r.key << ",\"name\":" << jsonString(key.name)
        << ",\"alphanumeric\":" << jsonString(key.alphanumeric) << ",\"openKey\":" << jsonString(key.openKey)
        << ",\"segments\":[";
    for (std::size_t i = 0; i < r.segments.size(); ++i) {
      out << (i ? "," : "") << "{\"start\":" << r.segments[i].start << ",\"key\":" << r.segments[i].key
          << ",\"name\":" << jsonString(TonveraFile::notationOf(r.segments[i].key).name) << "}";
    }
    out << "],\"scores\":[";
    for (std::size_t j = 0; j < r.scores.size(); ++j) out << (j ? "," : "") << r.scores[j];
    out << "]}";
  } else {
    out << path << ": " << key.name << " (" << key.alphanumeric << ", " << key.openKey << "); segments:";
    for (std::size_t i = 0; i < r.segments.size(); ++i)
      out << (i ? ", " : " ") << TonveraFile::notationOf(r.segments[i].key).name;
  }
  return out.str();
}

} // namespace

int main(int argc, char** argv) {
  Options options;
  const int parsed = parse(argc, argv, options);
  if (parsed == -1) return 0;
  if (parsed != 0) return parsed;

  const std::size_t total = options.paths.size();
  unsigned jobs = options.jobs ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  jobs = static_cast<unsigned>(std::min<std::size_t>(jobs, total));
  const bool progress = total > 1 && isatty(2);

  // One facade for the batch; every file gets its own workspaces. Results are
  // printed in the order the files were given, whatever order they finish in.
  Tonvera::Tonvera facade;
  std::vector<std::optional<TonveraFile::FileResult>> results(total);
  std::atomic<std::size_t> next{0};
  std::mutex printing, tagging;
  std::size_t printed = 0, failed = 0;

  auto publish = [&](std::size_t index, TonveraFile::FileResult result) {
    std::lock_guard<std::mutex> lock(printing);
    results[index] = std::move(result);
    while (printed < total && results[printed]) {
      const TonveraFile::FileResult& r = *results[printed];
      if (progress) std::cerr << "\r\033[K";
      if (r.error.empty()) {
        std::cout << lineOf(options.paths[printed], r, options.json) << "\n" << std::flush;
      } else {
        std::cerr << "tonvera-file: " << options.paths[printed] << ": " << r.error << "\n";
        ++failed;
      }
      results[printed].reset();
      ++printed;
      if (progress && printed < total) std::cerr << "tonvera-file: " << printed << "/" << total << " files";
    }
  };

  auto work = [&] {
    for (std::size_t i = next++; i < total; i = next++) {
      TonveraFile::FileResult result;
      try {
        result = TonveraFile::analyseFile(facade, options.paths[i], options.file);
      } catch (const std::exception& e) {
        // Memory running out for one file must not end the batch.
        result.error = e.what();
      }
      if (result.error.empty() && options.writeTags) {
        std::lock_guard<std::mutex> lock(tagging);
        const std::string problem = TonveraFile::writeKeyTag(options.paths[i], TonveraFile::notationOf(result.key).tkey);
        if (!problem.empty()) result.error = "key found (" + TonveraFile::notationOf(result.key).name + ") but " + problem;
      }
      publish(i, std::move(result));
    }
  };
  std::vector<std::thread> workers;
  for (unsigned t = 1; t < jobs; ++t) workers.emplace_back(work);
  work();
  for (std::thread& worker : workers) worker.join();
  if (progress) std::cerr << "\r\033[K";
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "tonvera-file: cannot write to standard output\n";
    return 1;
  }
  return failed == 0 ? 0 : 1;
}
