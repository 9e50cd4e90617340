#include "toneprofile.h"

#include <cmath>

#include "constants.h"
#include "exception.h"

namespace Tonvera {

ToneProfile::ToneProfile(const std::vector<double>& profile) {
  if (profile.size() != BANDS) throw Exception("Tone profile must have 72 elements");
  ringEntries.reserve(OCTAVES);
  try {
    for (std::uint32_t o = 0; o < OCTAVES; ++o) {
      Binode<double>* first = nullptr;
      Binode<double>* previous = nullptr;
      Binode<double>* entry = nullptr;
      for (std::uint32_t s = 0; s < SEMITONES; ++s) {
        Binode<double>* node = new Binode<double>;
        node->value = profile[o * SEMITONES + s];
        if (previous == nullptr) {
          first = node;
          // Closed at once, so that a partly built ring can still be freed.
          node->next = node;
          node->prev = node;
          ringEntries.push_back(first);
        } else {
          node->prev = previous;
          node->next = first;
          previous->next = node;
          first->prev = node;
        }
        previous = node;
        if (s == 3) entry = node;
      }
      ringEntries.back() = entry;
    }
  } catch (...) {
    free();
    throw;
  }
}

ToneProfile::~ToneProfile() { free(); }

void ToneProfile::free() {
  for (Binode<double>* entry : ringEntries) {
    Binode<double>* node = entry->next;
    while (node != entry) {
      Binode<double>* next = node->next;
      delete node;
      node = next;
    }
    delete entry;
  }
  ringEntries.clear();
}

double ToneProfile::cosineSimilarity(const std::vector<double>& input, std::int32_t offset) const {
  if (input.size() != BANDS) throw Exception("Chroma data must have 72 elements");
  double dot = 0.0;
  double inputSquares = 0.0;
  double profileSquares = 0.0;
  // Going round a ring twelve times changes nothing.
  const std::int32_t turns = offset > 0 ? offset % 12 : 0;
  for (std::uint32_t o = 0; o < OCTAVES; ++o) {
    const Binode<double>* node = ringEntries[o];
    for (std::int32_t i = 0; i < turns; ++i) node = node->prev;
    for (std::uint32_t k = 0; k < SEMITONES; ++k) {
      const double x = input[o * SEMITONES + k];
      const double y = node->value;
      dot += x * y;
      profileSquares += y * y;
      inputSquares += x * x;
      node = node->next;
    }
  }
  if (profileSquares > 0 && inputSquares > 0)
    return dot / (std::sqrt(inputSquares) * std::sqrt(profileSquares));
  return 0.0;
}

} // namespace Tonvera
