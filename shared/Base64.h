#pragma once
// Base64 with the standard alphabet and "=" padding, as the signed paragraph and the public key are
// written. Reading is strict: a text that is not exactly what encoding would make is refused, so one
// key or one paragraph has exactly one spelling.
#include <optional>
#include <string>
#include <string_view>

namespace stickwell {

std::string EncodeBase64(std::string_view bytes);

// Nothing for a length that is not a multiple of four, a character outside the alphabet, padding
// anywhere but at the end, or unused low bits that are not zero.
std::optional<std::string> DecodeBase64(std::string_view text);

// Whether the character can stand in a base64 text, padding included.
bool IsBase64Character(char32_t c);

}  // namespace stickwell
