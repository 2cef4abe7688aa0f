#include "tools/Utf8Out.h"

#include <cstdio>

namespace stickwell::page {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The JSON spelling of a character that cannot stand as it is, or nothing.
std::string Escape(char16_t c, bool loneSurrogate) {
  switch (c) {
    case u'"': return "\\\"";
    case u'\\': return "\\\\";
    case u'\r': return "\\r";
    case u'\n': return "\\n";
    case u'\t': return "\\t";
    default: break;
  }
  if (c >= 0x20 && !loneSurrogate) return {};
  char escape[8];
  std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
  return escape;
}

}  // namespace

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  out.reserve(text.size() * 3 + 2);
  std::size_t plainFrom = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      ++i;
      continue;
    }
    const std::string escape = Escape(c, IsHighSurrogate(c) || IsLowSurrogate(c));
    if (escape.empty()) continue;
    out += TextToUtf8(text.substr(plainFrom, i - plainFrom)) + escape;
    plainFrom = i + 1;
  }
  out += TextToUtf8(text.substr(plainFrom));
  out += '"';
  return out;
}

}  // namespace stickwell::page
