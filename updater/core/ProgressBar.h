#pragma once
// What the download window's bar shows for a file's bytes.
#include <cstdint>
#include <optional>

namespace stickwell::updater {

// A position on a bar that runs from 0 to `range`.
struct BarPosition {
  int range = 100;
  int position = 0;
  friend bool operator==(const BarPosition&, const BarPosition&) = default;
};

// With an announced length the bar counts bytes, ending at the file's length; a file longer than the
// control can count (2^31 - 1) is shown to scale, and an empty one as full. Without one it can only say that bytes are coming:
// it goes round from 0 to 100 once for every 6.3 MiB that arrive.
BarPosition BarFor(std::uint64_t received, std::optional<std::uint64_t> length);

}  // namespace stickwell::updater
