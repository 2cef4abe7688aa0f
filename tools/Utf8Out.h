#pragma once
// Text leaving the makers' tool: UTF-8 for people, JSON strings for scripts.
#include <string>
#include <string_view>

#include "shared/Text.h"

namespace stickwell::page {

using stickwell::AppendUtf8;
using stickwell::TextToUtf8;

// A quoted JSON string in UTF-8. Quote, backslash and control characters are escaped; a surrogate
// without its partner is kept as a \u escape so that nothing of the text is lost.
std::string JsonString(std::u16string_view text);
// How a JSON string spells a character that cannot stand as it is (quote, backslash, a control
// character, half a surrogate pair), added to `out`.
void AppendJsonEscape(std::string& out, char16_t c);

}  // namespace stickwell::page
