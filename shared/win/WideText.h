#pragma once
// The core speaks std::u16string, the API speaks wchar_t; on Windows both are UTF-16 code units.
#include <string>
#include <string_view>

namespace stickwell::win {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be a UTF-16 code unit");

inline std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string U16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace stickwell::win
