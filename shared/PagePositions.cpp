#include <algorithm>

#include "shared/PagePositions.h"
#include "shared/Text.h"

namespace stickwell::page {

std::optional<Position> FindFrom(std::u16string_view text, std::u16string_view marker, Position start) {
  if (start < 1) return std::nullopt;
  const auto size = static_cast<Position>(text.size());
  if (start > size) return 0;
  const std::size_t hit = FindText(text, marker, static_cast<std::size_t>(start - 1));
  return hit == std::u16string_view::npos ? 0 : static_cast<Position>(hit) + 1;
}

Position Find(std::u16string_view text, std::u16string_view marker) { return FindFrom(text, marker, 1).value_or(0); }

std::optional<std::u16string_view> Cut(std::u16string_view text, Position start, Position length) {
  if (start < 1 || length < 0) return std::nullopt;
  const auto size = static_cast<Position>(text.size());
  if (start > size) return std::u16string_view{};
  const Position available = size - (start - 1);
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(std::min(length, available)));
}

std::u16string_view LastChars(std::u16string_view text, std::size_t count) {
  return count >= text.size() ? text : text.substr(text.size() - count);
}

}  // namespace stickwell::page
