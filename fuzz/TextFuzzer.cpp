// libFuzzer target over the two text routines: any bytes through the decoder, held against a plain
// byte-by-byte decoder and against encoding back; RemoveAll, held against the rule it implements; and
// FindText, held against the standard library's search.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/Require.h"
#include "shared/Text.h"

namespace {

using stickwell::fuzz::Require;

// The decoder of the WHATWG Encoding standard, one byte at a time: the same maximal-subpart rule,
// written the slow and obvious way.
std::u16string ReferenceDecode(std::string_view bytes) {
  std::u16string text;
  char32_t code = 0;
  int needed = 0;
  int seen = 0;
  unsigned lower = 0x80;
  unsigned upper = 0xBF;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned byte = static_cast<unsigned char>(bytes[i]);
    if (needed == 0) {
      if (byte <= 0x7F) {
        text += static_cast<char16_t>(byte);
      } else if (byte >= 0xC2 && byte <= 0xDF) {
        needed = 1;
        code = byte & 0x1F;
      } else if (byte >= 0xE0 && byte <= 0xEF) {
        if (byte == 0xE0) lower = 0xA0;
        if (byte == 0xED) upper = 0x9F;
        needed = 2;
        code = byte & 0xF;
      } else if (byte >= 0xF0 && byte <= 0xF4) {
        if (byte == 0xF0) lower = 0x90;
        if (byte == 0xF4) upper = 0x8F;
        needed = 3;
        code = byte & 0x7;
      } else {
        text += u'\uFFFD';
      }
      continue;
    }
    if (byte < lower || byte > upper) {
      code = 0;
      needed = seen = 0;
      lower = 0x80;
      upper = 0xBF;
      text += u'\uFFFD';
      --i;  // read this byte again
      continue;
    }
    lower = 0x80;
    upper = 0xBF;
    code = (code << 6) | (byte & 0x3F);
    if (++seen != needed) continue;
    if (code >= 0x10000) {
      text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      text += static_cast<char16_t>(code);
    }
    code = 0;
    needed = seen = 0;
  }
  if (needed != 0) text += u'\uFFFD';
  return text;
}

// The rule as the makers state it: delete every occurrence in one left-to-right pass, and look again.
// A pass can remove as little as one occurrence ("ab" out of "aaabbb"), so this takes up to one pass
// per occurrence: it is run on short texts only.
std::u16string RemoveInPasses(std::u16string text, std::u16string_view pattern) {
  while (text.find(pattern) != std::u16string::npos) {
    std::u16string rest;
    std::size_t from = 0;
    for (std::size_t hit = text.find(pattern); hit != std::u16string::npos; hit = text.find(pattern, from)) {
      rest.append(text, from, hit - from);
      from = hit + pattern.size();
    }
    text = rest + text.substr(from);
  }
  return text;
}

// For a pattern that cannot overlap itself every order of removals ends in the same text, so removing
// an occurrence as soon as it is complete, character by character, gives the rule's result in one pass.
std::u16string RemoveAsCompleted(std::u16string_view text, std::u16string_view pattern) {
  std::u16string kept;
  kept.reserve(text.size());
  for (const char16_t c : text) {
    kept.push_back(c);
    if (c == pattern.back() && kept.size() >= pattern.size() &&
        kept.compare(kept.size() - pattern.size(), pattern.size(), pattern) == 0) {
      kept.resize(kept.size() - pattern.size());
    }
  }
  return kept;
}

constexpr std::size_t kLongestForPasses = 256;

void CheckDecoder(std::string_view bytes, const std::u16string& text) {
  Require(text.size() <= bytes.size());
  Require(text == ReferenceDecode(bytes));
  // Whatever did not come back unchanged was replaced.
  if (text.find(u'\uFFFD') == std::u16string::npos) Require(stickwell::TextToUtf8(text) == bytes);
}

void CheckRemoveAll(const std::u16string& page, std::size_t patternLength) {
  if (page.size() <= patternLength) return;
  const std::u16string_view pattern = std::u16string_view(page).substr(0, patternLength);
  std::u16string text = page.substr(patternLength);
  for (const std::size_t from : {std::size_t{0}, text.size() / 3}) {
    Require(stickwell::FindText(text, pattern, from) == std::u16string_view(text).find(pattern, from));
  }
  const bool overlaps = stickwell::OverlapsItself(pattern);
  if (text.size() > kLongestForPasses && overlaps) return;
  const std::u16string expected =
      text.size() <= kLongestForPasses ? RemoveInPasses(text, pattern) : RemoveAsCompleted(text, pattern);
  stickwell::RemoveAll(text, pattern);
  Require(text == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string text = stickwell::Utf8ToText(bytes);
  CheckDecoder(bytes, text);
  // The first byte picks how many characters of the text make the pattern for the rest.
  if (size > 0) CheckRemoveAll(text, 1 + data[0] % 5);
  return 0;
}
