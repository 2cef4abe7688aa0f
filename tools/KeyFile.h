#pragma once
// The makers' signing key as a small text file, the same for the tool built natively and for Windows:
//   # comment lines
//   public-key <base64 of the 65-byte point 04 || X || Y>
//   private-key <base64 of the 32-byte scalar>
// Both halves are kept because CNG cannot take a private key without its public point.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shared/Manifest.h"

namespace stickwell::page {

struct SigningKey {
  manifest::PublicKey publicKey{};
  std::array<std::uint8_t, 32> privateKey{};
};

std::string KeyFileText(const SigningKey& key);

// Nothing unless the text holds each half exactly once, well-formed, and nothing but comments and blank
// lines besides.
// Lines may end in CR LF, as an editor on Windows may have saved them.
std::optional<SigningKey> ReadKeyFile(std::string_view text);

}  // namespace stickwell::page
