#ifndef TONVERA_CLI_STREAMANALYSIS_H
#define TONVERA_CLI_STREAMANALYSIS_H

#include <cstddef>
#include <ostream>
#include <vector>

#include "tonvera.h"

namespace TonveraCli {

// The two analyses the tool runs side by side: every segment on a fresh
// workspace of its own, and the whole stream on one long-lived workspace
// that sees the segments as one unbroken signal.
class StreamAnalysis {
public:
  // Set-up: the facade and the whole-stream workspace.
  StreamAnalysis();

  // Feeds the segment to the whole-stream analysis, then analyses, finishes
  // and classifies it on its own, and records its key.
  void analyseSegment(const Tonvera::AudioData& segment);

  // Finishes the whole-stream analysis and writes the report.
  void finish(std::ostream& out);

  std::size_t getSegmentCount() const { return segmentKeys.size(); }

private:
  Tonvera::Tonvera facade;
  Tonvera::Workspace wholeStream;
  std::vector<Tonvera::musical_key_t> segmentKeys;
};

} // namespace TonveraCli

#endif
