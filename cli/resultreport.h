#ifndef TONVERA_CLI_RESULTREPORT_H
#define TONVERA_CLI_RESULTREPORT_H

#include <ostream>
#include <vector>

#include "tonvera.h"

namespace TonveraCli {

// Writes {"key":K,"segments":[...],"scores":[...]} with no spaces and no
// newline: the whole-stream key and the 24 similarity scores computed from
// the whole-stream chroma vector, and the segment keys in input order. Score
// 2r is the major profile at offset r, score 2r + 1 the minor one; scores use
// the stream's default formatting (6 significant digits, %g rules).
void writeResultReport(std::ostream& out, const Tonvera::Tonvera& facade,
                       const std::vector<double>& chroma,
                       const std::vector<Tonvera::musical_key_t>& segmentKeys);

} // namespace TonveraCli

#endif
