#pragma once
// How large a download may grow: a page that was tampered with must not be able to fill the disk.
#include <cstdint>
#include <optional>

namespace stickwell::download {

// No file of ours comes near this; anything larger is not one of ours.
inline constexpr std::uint64_t kLargestFile = std::uint64_t{1} << 30;

// Room a download always leaves free on the program folder's volume. Windows needs space to go on
// working (its paging file grows, programs write their temporary files) and the note rewrites its
// own file every moment it is away from the pointer; 64 MiB keeps all of that working while costing
// nothing a real update needs.
inline constexpr std::uint64_t kFreeSpaceMargin = std::uint64_t{64} << 20;

// Whether a response that announces `length` bytes may be written, before a byte of it is: at most
// kLargestFile, and only when the volume keeps kFreeSpaceMargin free afterwards. `freeBytes` is nullopt
// when the free space cannot be told; then only the first bound holds.
bool MayWrite(std::uint64_t length, std::optional<std::uint64_t> freeBytes);

// Whether a body that announced no length may go on growing to `received` bytes.
inline bool MayGrowTo(std::uint64_t received) { return received <= kLargestFile; }
// The same, when its next `piece` is about to be written on a volume with `freeBytes` free now: the
// volume keeps kFreeSpaceMargin free after it (unless its free space cannot be told).
inline bool MayGrowTo(std::uint64_t received, std::optional<std::uint64_t> freeBytes, std::uint64_t piece) {
  return MayGrowTo(received) && MayWrite(piece, freeBytes);
}

}  // namespace stickwell::download
