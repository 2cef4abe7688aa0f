#include <cstdint>
#include <cstring>

#include "shared/Text.h"

namespace stickwell {
namespace {

constexpr std::uint64_t kLowBits = 0x0001000100010001ULL;
constexpr std::uint64_t kHighBits = 0x8000800080008000ULL;

// Where `unit` first stands at or after `from` (at most the text's size), or npos. Looks at four units
// at a time: the readers search a page for their markers dozens of times over.
std::size_t FindUnit(std::u16string_view text, std::size_t from, char16_t unit) {
  const std::uint64_t units = kLowBits * unit;
  std::size_t at = from;
  for (; text.size() - at >= 4; at += 4) {
    std::uint64_t four;
    std::memcpy(&four, text.data() + at, sizeof four);
    const std::uint64_t differences = four ^ units;  // a lane of zeros where the unit stands
    if (((differences - kLowBits) & ~differences & kHighBits) != 0) break;
  }
  for (; at < text.size(); ++at) {
    if (text[at] == unit) return at;
  }
  return std::u16string_view::npos;
}

}  // namespace

std::size_t FindText(std::u16string_view text, std::u16string_view pattern, std::size_t from) {
  if (pattern.empty()) return from <= text.size() ? from : std::u16string_view::npos;
  const std::u16string_view rest = pattern.substr(1);
  while (from < text.size() && text.size() - from >= pattern.size()) {
    from = FindUnit(text, from, pattern[0]);
    if (from == std::u16string_view::npos || text.size() - from < pattern.size()) break;
    if (text.substr(from + 1, rest.size()) == rest) return from;
    ++from;
  }
  return std::u16string_view::npos;
}

}  // namespace stickwell
