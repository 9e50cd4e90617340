#ifndef TONVERA_TESTS_EXPECT_H
#define TONVERA_TESTS_EXPECT_H

#include <string>

#include "exception.h"

// The message of the Tonvera::Exception that f throws, or a marker when it
// throws nothing; compared with the exact text in the tests.
template <typename F> std::string thrownMessage(F f) {
  try {
    f();
  } catch (const Tonvera::Exception& e) {
    return e.what();
  }
  return "<nothing thrown>";
}

#endif
