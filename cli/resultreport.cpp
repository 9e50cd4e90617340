#include "resultreport.h"

#include "constants.h"
#include "toneprofile.h"

namespace TonveraCli {

void writeResultReport(std::ostream& out, const Tonvera::Tonvera& facade,
                       const std::vector<double>& chroma,
                       const std::vector<Tonvera::musical_key_t>& segmentKeys) {
  const Tonvera::ToneProfile major(Tonvera::toneProfileMajor());
  const Tonvera::ToneProfile minor(Tonvera::toneProfileMinor());
  out << "{\"key\":";
  out << static_cast<int>(
      facade.keyOfChromaVector(chroma, Tonvera::toneProfileMajor(), Tonvera::toneProfileMinor()));
  out << ",\"segments\":[";
  for (std::size_t i = 0; i < segmentKeys.size(); ++i) {
    if (i > 0) out << ",";
    out << static_cast<int>(segmentKeys[i]);
  }
  out << "],\"scores\":[";
  for (std::int32_t r = 0; r < 12; ++r) {
    if (r > 0) out << ",";
    out << major.cosineSimilarity(chroma, r) << "," << minor.cosineSimilarity(chroma, r);
  }
  out << "]}";
}

} // namespace TonveraCli
