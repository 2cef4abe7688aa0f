#include "tools/Utf8Out.h"

namespace stickwell::page {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

void AppendJsonEscape(std::string& out, char16_t c) {
  switch (c) {
    case u'"': out += "\\\""; return;
    case u'\\': out += "\\\\"; return;
    case u'\r': out += "\\r"; return;
    case u'\n': out += "\\n"; return;
    case u'\t': out += "\\t"; return;
    default: break;
  }
  static constexpr char kHexDigits[] = "0123456789abcdef";
  const char escape[] = {'\\', 'u', kHexDigits[c >> 12], kHexDigits[(c >> 8) & 0xF], kHexDigits[(c >> 4) & 0xF],
                         kHexDigits[c & 0xF]};
  out.append(escape, sizeof escape);
}

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  std::size_t plainFrom = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      ++i;
      continue;
    }
    if (c >= 0x20 && c != u'"' && c != u'\\' && !IsHighSurrogate(c) && !IsLowSurrogate(c)) continue;
    AppendUtf8(out, text.substr(plainFrom, i - plainFrom));
    AppendJsonEscape(out, c);
    plainFrom = i + 1;
  }
  AppendUtf8(out, text.substr(plainFrom));
  out += '"';
  return out;
}

}  // namespace stickwell::page
