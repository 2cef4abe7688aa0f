#pragma once
// The two text routines both programs carry: decoding a response body and stripping fixed markup.
#include <string>
#include <string_view>

namespace stickwell {

// Decodes UTF-8 bytes to UTF-16 exactly as Windows' MultiByteToWideChar(CP_UTF8, 0) does: characters
// beyond U+FFFF become surrogate pairs, every maximal ill-formed subpart (overlongs, encoded surrogates,
// values beyond U+10FFFF, stray or missing continuation bytes) becomes one U+FFFD, and a leading
// EF BB BF stays as U+FEFF. Never fails; empty in, empty out.
std::u16string Utf8ToText(std::string_view bytes);

// UTF-16 to UTF-8. A surrogate without its partner (a cut can split a pair) becomes U+FFFD.
std::string TextToUtf8(std::u16string_view text);
// The same, added to the end of `out`.
void AppendUtf8(std::string& out, std::u16string_view text);

// Where `pattern` first occurs in `text` at or after `from`, or npos: what std::u16string_view::find
// answers, found faster.
std::size_t FindText(std::u16string_view text, std::u16string_view pattern, std::size_t from = 0);

// Whether some proper beginning of `pattern` is also its end ("aba"), so that two occurrences can
// overlap. RemoveAll is linear in the text for a pattern that cannot, and repeats whole passes for one
// that can.
constexpr bool OverlapsItself(std::u16string_view pattern) {
  for (std::size_t k = 1; k < pattern.size(); ++k) {
    if (pattern.substr(0, k) == pattern.substr(pattern.size() - k)) return true;
  }
  return false;
}

// Deletes every occurrence of `pattern` (exact code units), repeating until none is left, so that an
// occurrence formed by a removal goes too: "ab" out of "aabb" leaves "". An empty pattern changes
// nothing.
void RemoveAll(std::u16string& text, std::u16string_view pattern);

}  // namespace stickwell
