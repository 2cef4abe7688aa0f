#pragma once
// Test messages: UTF-16 text shown as ASCII with \uXXXX escapes.
#include <cstdio>
#include <string>
#include <string_view>

namespace stickwell {

inline std::string Printable(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
      out += escape;
    }
  }
  return out;
}

}  // namespace stickwell
