#ifndef TONVERA_FUZZ_FUZZINPUT_H
#define TONVERA_FUZZ_FUZZINPUT_H

// Reads typed values off a fuzzer's byte string; past its end every value is 0.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "exception.h"

class FuzzInput {
public:
  FuzzInput(const std::uint8_t* bytes, std::size_t length) : data(bytes), size(length) {}

  bool empty() const { return at >= size; }
  std::uint8_t byte() { return at < size ? data[at++] : 0; }
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
    return v;
  }
  // Mostly small counts and indices, sometimes anything.
  std::uint32_t count() {
    const std::uint8_t kind = byte();
    if (kind < 200) return kind % 24;
    if (kind < 250) return u32() % 5000;
    return u32();
  }
  double value() {
    const std::uint8_t kind = byte();
    if (kind < 128) return (kind - 64) * 0.25;
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = (bits << 8) | byte();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  std::string rest() {
    std::string out(reinterpret_cast<const char*>(data + (at < size ? at : size)), at < size ? size - at : 0);
    at = size;
    return out;
  }

private:
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
};

// A broken property: report it and stop, so the fuzzer keeps the input.
#define FUZZ_CHECK(condition, what)                                                    \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, __FILE__, __LINE__); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

// What a model of a class throws where the class throws an Exception.
struct ModelFailure {
  std::string message;
};

// "<text><value>/<limit>)", the library's bounds messages.
inline std::string boundsMessage(const char* text, std::uint64_t value, std::uint64_t limit) {
  std::ostringstream m;
  m << text << value << "/" << limit << ")";
  return m.str();
}

// The message f throws, from the class or its model, or "" when it returns.
template <typename F> std::string outcomeOf(F f) {
  try {
    f();
  } catch (const ModelFailure& e) {
    return e.message;
  } catch (const Tonvera::Exception& e) {
    return e.what();
  }
  return "";
}

inline bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

#endif
