#pragma once
// The note file's one record, and the bytes it is stored as.
#include <optional>
#include <string>
#include <string_view>

namespace stickwell::note {

// "标题:" + title, CR LF, CR LF, "内容:", CR LF, body, CR LF. The body keeps its own CR LF breaks.
std::u16string NoteRecordText(std::u16string_view title, std::u16string_view body);

// The system's ANSI code page as the note file sees it.
class AnsiEncoder {
 public:
  virtual ~AnsiEncoder() = default;
  // The text's bytes in the code page, or nothing when the code page cannot hold every character.
  virtual std::optional<std::string> encode(std::u16string_view text) const = 0;
};

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The bytes of the note file. Other programs and older notes read the file in the ANSI code page,
// so that is what a note is written in whenever the code page holds all of it. A note with a
// character the code page lacks (an emoji, a rare character) would lose it there; such a note is
// written as UTF-8 after a byte-order mark instead, which keeps every character.
std::string NoteFileBytes(std::u16string_view record, const AnsiEncoder& ansi);

}  // namespace stickwell::note
