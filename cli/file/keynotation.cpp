#include "keynotation.h"

namespace TonveraFile {

namespace {

const char* const TONICS[12] = {"C", "D flat", "D", "E flat", "E", "F", "G flat", "G", "A flat", "A", "B flat", "B"};
const char* const SHORT_TONICS[12] = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};

} // namespace

KeyNotation notationOf(int key) {
  if (key < 0 || key >= 24) return {"silence", "", "", ""};
  const int minor = key % 2;
  const int tonic = (key / 2 + 9) % 12; // semitones above C
  // Both wheels number keys by fifths; a minor key shares the number of its
  // relative major, three semitones up.
  const int major = minor ? (tonic + 3) % 12 : tonic;
  const int fifths = major * 7 % 12; // fifths above C
  KeyNotation n;
  n.name = std::string(TONICS[tonic]) + (minor ? " minor" : " major");
  n.alphanumeric = std::to_string((fifths + 7) % 12 + 1) + (minor ? "A" : "B");
  n.openKey = std::to_string(fifths + 1) + (minor ? "m" : "d");
  n.tkey = std::string(SHORT_TONICS[tonic]) + (minor ? "m" : "");
  return n;
}

} // namespace TonveraFile
