#ifndef TONVERA_FILE_FILEANALYSIS_H
#define TONVERA_FILE_FILEANALYSIS_H

#include <cstdint>
#include <string>
#include <vector>

#include "tonvera.h"

namespace TonveraFile {

struct FileOptions {
  std::uint32_t segmentSeconds = 30;
  // Nonzero: the files are headerless mono float32 at this rate, not decoded.
  std::uint32_t rawRate = 0;
};

struct SegmentKey {
  double start; // seconds from the start of the file
  int key;
};

struct FileResult {
  std::string error; // empty when the file was analysed
  int key = Tonvera::KEY_SILENCE;
  std::uint32_t frameRate = 0;
  std::vector<SegmentKey> segments;
  std::vector<double> scores; // 2r: major at offset r, 2r + 1: minor
};

// Decodes a file and analyses it the way the stream analysis does: the whole
// file on one workspace and every segment on one of its own. A last segment
// shorter than a whole one is analysed on its own when it lasts 3 s or more,
// and otherwise only joins the whole-file key. The facade may be shared by
// several threads, each analysing its own files.
FileResult analyseFile(Tonvera::Tonvera& facade, const std::string& path, const FileOptions& options);

} // namespace TonveraFile

#endif
