#pragma once
// Text in the system's ANSI code page (GBK on a Chinese Windows).
#include <string>
#include <string_view>

namespace stickwell::win {

struct AnsiText {
  std::string bytes;
  bool representable = true;  // false when the code page changed or dropped a character
};

// Converts to the ANSI code page and tells whether the conversion kept every character.
AnsiText ToAnsi(std::wstring_view text);

// Decodes bytes in the ANSI code page.
std::wstring FromAnsi(std::string_view bytes);

// Decodes UTF-8 with the system converter.
std::wstring FromUtf8(std::string_view bytes);
std::string ToUtf8(std::wstring_view text);

}  // namespace stickwell::win
