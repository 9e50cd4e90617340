#ifndef TONVERA_FILE_KEYNOTATION_H
#define TONVERA_FILE_KEYNOTATION_H

#include <string>

namespace TonveraFile {

// The notations of a key number 0 to 24 (24: silence, for which every form is
// empty but the name).
struct KeyNotation {
  std::string name;         // "A minor"
  std::string alphanumeric; // "8A": the wheel of fifths, A for minor, B for major
  std::string openKey;      // "1m": the wheel of fifths from C, m minor, d major
  std::string tkey;         // "Am": the short form of ID3v2's TKEY and INITIALKEY
};

KeyNotation notationOf(int key);

} // namespace TonveraFile

#endif
