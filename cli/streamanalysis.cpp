#include "streamanalysis.h"

#include "constants.h"
#include "resultreport.h"

namespace TonveraCli {

StreamAnalysis::StreamAnalysis() = default;

void StreamAnalysis::analyseSegment(const Tonvera::AudioData& segment) {
  Tonvera::Workspace own;
  // Each call gets its own copy, since the facade edits what it is given; the
  // first copy is gone before the second is made.
  facade.progressiveChromagram(segment, wholeStream);
  facade.progressiveChromagram(segment, own);
  facade.finalChromagram(own);
  const std::vector<double> chroma = own.accumulatedChromagram->collapseToOneHop();
  segmentKeys.push_back(
      facade.keyOfChromaVector(chroma, Tonvera::toneProfileMajor(), Tonvera::toneProfileMinor()));
}

void StreamAnalysis::finish(std::ostream& out) {
  facade.finalChromagram(wholeStream);
  const std::vector<double> chroma = wholeStream.accumulatedChromagram->collapseToOneHop();
  writeResultReport(out, facade, chroma, segmentKeys);
}

} // namespace TonveraCli
