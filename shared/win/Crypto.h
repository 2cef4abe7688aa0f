#pragma once
// SHA-256 and the check of the makers' signature, through the system's CNG (bcrypt.dll). The DLL is
// loaded the first time one of these is used, so a note that never looks for updates never loads it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "shared/Manifest.h"

namespace stickwell::win {

// SHA-256 over data given piece by piece, e.g. a download while it streams in.
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void add(const void* data, std::size_t size);
  // The digest of everything added; nothing if the system could not hash (then every later call fails
  // too). The object is spent afterwards.
  std::optional<std::array<std::uint8_t, 32>> finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Whether `signature` is the ECDSA P-256 signature (SHA-256, r then s) of `message` under `key`.
bool VerifySignature(const manifest::PublicKey& key, std::string_view message, const manifest::Signature& signature);

// Whether this build carries the makers' public key, and so installs only signed releases.
bool UpdateKeyBuiltIn();

// TrustPage with the built-in key.
manifest::PageTrust TrustUpdatePage(std::u16string_view page, std::u16string_view pageVersion);

}  // namespace stickwell::win
