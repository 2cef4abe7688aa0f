#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "shared/Text.h"

namespace stickwell {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// What may follow a lead byte: how many continuation bytes, and the range the first of them must lie in.
// The narrower first ranges shut out overlongs (E0, F0), UTF-16 surrogates (ED) and values beyond
// U+10FFFF (F4); every later continuation byte is 80..BF.
struct LeadRule {
  std::uint8_t continuations = 0;  // 0: the byte never starts a character (80..C1, F5..FF)
  std::uint8_t low = 0;
  std::uint8_t high = 0;
};

constexpr std::array<LeadRule, 256> MakeLeadRules() {
  std::array<LeadRule, 256> rules{};
  for (int lead = 0xC2; lead <= 0xDF; ++lead) rules[lead] = {1, 0x80, 0xBF};
  for (int lead = 0xE0; lead <= 0xEF; ++lead) rules[lead] = {2, 0x80, 0xBF};
  rules[0xE0].low = 0xA0;
  rules[0xED].high = 0x9F;
  for (int lead = 0xF0; lead <= 0xF4; ++lead) rules[lead] = {3, 0x80, 0xBF};
  rules[0xF0].low = 0x90;
  rules[0xF4].high = 0x8F;
  return rules;
}

constexpr std::array<LeadRule, 256> kLeadRules = MakeLeadRules();

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Writes one character's bytes at `out` and returns the end.
char* EncodeUtf8(char* out, char32_t c) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

}  // namespace

std::u16string Utf8ToText(std::string_view bytes) {
  // Every byte yields at most one unit (a four-byte character yields two), so this never grows.
  std::u16string text(bytes.size(), u'\0');
  char16_t* out = text.data();
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = in + bytes.size();

  while (in != end) {
    // Pages are mostly markup: copy runs of ASCII eight bytes at a time.
    while (end - in >= 8) {
      std::uint64_t word;
      std::memcpy(&word, in, sizeof word);
      if (word & kHighBits) break;
      for (int k = 0; k < 8; ++k) out[k] = in[k];
      in += 8;
      out += 8;
    }
    if (in == end) break;

    const unsigned char lead = *in++;
    if (lead < 0x80) {
      *out++ = lead;
      continue;
    }
    const LeadRule rule = kLeadRules[lead];
    if (rule.continuations == 0) {
      *out++ = kReplacement;
      continue;
    }
    std::uint32_t code = lead & (0x3Fu >> rule.continuations);
    unsigned char low = rule.low;
    unsigned char high = rule.high;
    int missing = rule.continuations;
    for (; missing > 0 && in != end && *in >= low && *in <= high; --missing) {
      code = (code << 6) | (*in++ & 0x3Fu);
      low = 0x80;
      high = 0xBF;
    }
    if (missing > 0) {
      // The lead and the continuation bytes that fitted are one ill-formed subpart; the byte that did
      // not fit is read again as the start of whatever comes next.
      *out++ = kReplacement;
    } else if (code >= 0x10000) {
      code -= 0x10000;
      *out++ = static_cast<char16_t>(0xD800 + (code >> 10));
      *out++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      *out++ = static_cast<char16_t>(code);
    }
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return text;
}

std::string TextToUtf8(std::u16string_view text) {
  std::string out;
  AppendUtf8(out, text);
  return out;
}

void AppendUtf8(std::string& out, std::u16string_view text) {
  // In pieces through a buffer of our own: each unit takes at most three bytes, a pair four.
  constexpr std::size_t kPiece = 128;
  char piece[3 * kPiece + 1];
  std::size_t i = 0;
  while (i < text.size()) {
    char* end = piece;
    for (const std::size_t pieceEnd = std::min(text.size(), i + kPiece); i < pieceEnd; ++i) {
      const char16_t c = text[i];
      if (c < 0x80) {
        *end++ = static_cast<char>(c);
      } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
        end = EncodeUtf8(end, 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
        ++i;
      } else {
        end = EncodeUtf8(end, IsHighSurrogate(c) || IsLowSurrogate(c) ? char32_t{kReplacement} : char32_t{c});
      }
    }
    out.append(piece, static_cast<std::size_t>(end - piece));
  }
}

}  // namespace stickwell
