#ifndef TONVERA_MESSAGES_H
#define TONVERA_MESSAGES_H

// Internal helpers that compose the library's messages; not installed.

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

#include "exception.h"

namespace Tonvera {
namespace detail {

// "<text><value>/<limit>)": text already ends in an opening parenthesis.
[[noreturn]] inline void throwBounds(const char* text, std::uint64_t value, std::uint64_t limit) {
  std::ostringstream message;
  message << text << value << "/" << limit << ")";
  throw Exception(message.str().c_str());
}

// "<first><a><middle><b>", for the messages that name two counts.
[[noreturn]] inline void throwCounts(const char* first, std::uint64_t a, const char* middle,
                                     std::uint64_t b) {
  std::ostringstream message;
  message << first << a << middle << b;
  throw Exception(message.str().c_str());
}

inline bool isFinite(double value) { return std::isfinite(value); }

} // namespace detail
} // namespace Tonvera

#endif
