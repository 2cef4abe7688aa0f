#pragma once
// Counting in page text the way the makers count when they edit the page: positions are 1-based
// character (UTF-16 unit) positions, and a search that finds nothing answers position 0. The readers
// keep going with a 0 and fail only when a cut or a search cannot be made.
#include <cstdint>
#include <optional>
#include <string_view>

namespace stickwell::page {

using Position = std::int64_t;

// Position of the first occurrence of `marker` at or after position `start`, 0 when there is none
// (also when `start` lies beyond the end). A search that would start below position 1 fails.
std::optional<Position> FindFrom(std::u16string_view text, std::u16string_view marker, Position start);

// The same search from position 1, which cannot fail.
Position Find(std::u16string_view text, std::u16string_view marker);

// The `length` characters at position `start`: fewer when the text ends sooner, none when `start` lies
// beyond the end. Fails for a start below 1 or a negative length.
std::optional<std::u16string_view> Cut(std::u16string_view text, Position start, Position length);

// The last `count` characters, all of them when the text is shorter.
std::u16string_view LastChars(std::u16string_view text, std::size_t count);

}  // namespace stickwell::page
