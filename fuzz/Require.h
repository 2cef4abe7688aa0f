#pragma once
// What a fuzz target does when a property callers rely on does not hold: stop, so that libFuzzer keeps
// the input and reports it like any crash.
#include <cstdlib>

namespace stickwell::fuzz {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace stickwell::fuzz
