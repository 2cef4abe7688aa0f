#include "updater/core/ProgressBar.h"

#include <algorithm>
#include <climits>

namespace stickwell::updater {

BarPosition BarFor(std::uint64_t received, std::optional<std::uint64_t> length) {
  if (!length) return {100, static_cast<int>((received >> 16) % 101)};
  // An empty file is complete as soon as it is announced; a bar of range 0 would show nothing at all.
  if (*length == 0) return {100, 100};
  unsigned shift = 0;
  while ((*length >> shift) > static_cast<std::uint64_t>(INT_MAX)) ++shift;
  return {static_cast<int>(*length >> shift), static_cast<int>(std::min(received, *length) >> shift)};
}

}  // namespace stickwell::updater
