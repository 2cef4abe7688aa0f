#include "tools/Utf8Out.h"

#include <cstdio>

namespace stickwell::page {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendEscape(std::string& out, char16_t c) {
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
  out += escape;
}

// Walks the text character by character; `lone` is called for a surrogate without its partner.
template <typename Character, typename Lone>
void ForEachCharacter(std::u16string_view text, Character character, Lone lone) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      character(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      lone(c);
    } else {
      character(c);
    }
  }
}

}  // namespace

std::string TextToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  ForEachCharacter(
      text, [&](char32_t c) { AppendUtf8(out, c); }, [&](char16_t) { AppendUtf8(out, 0xFFFD); });
  return out;
}

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  out.reserve(text.size() * 3 + 2);
  ForEachCharacter(
      text,
      [&](char32_t c) {
        switch (c) {
          case U'"': out += "\\\""; break;
          case U'\\': out += "\\\\"; break;
          case U'\r': out += "\\r"; break;
          case U'\n': out += "\\n"; break;
          case U'\t': out += "\\t"; break;
          default:
            if (c < 0x20) {
              AppendEscape(out, static_cast<char16_t>(c));
            } else {
              AppendUtf8(out, c);
            }
        }
      },
      [&](char16_t c) { AppendEscape(out, c); });
  out += '"';
  return out;
}

}  // namespace stickwell::page
