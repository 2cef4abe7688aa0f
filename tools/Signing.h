#pragma once
// The makers' side of signed releases: new keys, signatures and SHA-256. Natively through OpenSSL's
// libcrypto (SigningOpenSsl.cpp), on Windows through CNG (SigningCng.cpp); a key made by one signs with
// the other, and both make ECDSA P-256 signatures over SHA-256 as r then s.
#include <optional>
#include <string_view>

#include "shared/Manifest.h"
#include "tools/KeyFile.h"

namespace stickwell::page {

std::optional<SigningKey> GenerateSigningKey();

// Nothing when the library refuses the key.
std::optional<manifest::Signature> Sign(const SigningKey& key, std::string_view message);

bool Verify(const manifest::PublicKey& key, std::string_view message, const manifest::Signature& signature);

std::optional<manifest::Sha256Digest> Sha256Of(std::string_view bytes);

}  // namespace stickwell::page
