#include "shared/win/Crypto.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "shared/win/Bcrypt.h"

namespace stickwell::win {

struct Sha256::State {
  UniqueBcryptAlgorithm algorithm;  // outlives the hash made from it
  UniqueBcryptHash hash;
  bool failed = false;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  state_->algorithm = OpenBcryptAlgorithm(BCRYPT_SHA256_ALGORITHM);
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!state_->algorithm ||
      !BCRYPT_SUCCESS(Bcrypt()->createHash(state_->algorithm.get(), &hash, nullptr, 0, nullptr, 0, 0))) {
    state_->failed = true;
    return;
  }
  state_->hash.reset(hash);
}

Sha256::~Sha256() = default;

void Sha256::add(const void* data, std::size_t size) {
  auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));  // CNG takes it writable, never writes it
  while (!state_->failed && size > 0) {
    const ULONG piece = static_cast<ULONG>(std::min<std::size_t>(size, std::numeric_limits<ULONG>::max()));
    state_->failed = !BCRYPT_SUCCESS(Bcrypt()->hashData(state_->hash.get(), bytes, piece, 0));
    bytes += piece;
    size -= piece;
  }
}

std::optional<std::array<std::uint8_t, 32>> Sha256::finish() {
  std::array<std::uint8_t, 32> digest{};
  if (state_->failed ||
      !BCRYPT_SUCCESS(Bcrypt()->finishHash(state_->hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0))) {
    state_->failed = true;
    return std::nullopt;
  }
  // A finished CNG hash takes no more data.
  state_->failed = true;
  return digest;
}

bool VerifySignature(const manifest::PublicKey& key, std::string_view message, const manifest::Signature& signature) {
  Sha256 sha256;
  sha256.add(message.data(), message.size());
  auto digest = sha256.finish();
  const UniqueBcryptAlgorithm ecdsa = OpenBcryptAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!digest || !ecdsa) return false;

  // The blob holds X and Y; the key's leading 04 only says that both are there.
  std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 2 * kP256CoordinateSize);
  const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, kP256CoordinateSize};
  std::copy_n(reinterpret_cast<const UCHAR*>(&header), sizeof header, blob.begin());
  std::copy(key.begin() + 1, key.end(), blob.begin() + sizeof header);
  BCRYPT_KEY_HANDLE handle = nullptr;
  if (!BCRYPT_SUCCESS(Bcrypt()->importKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle, blob.data(),
                                              static_cast<ULONG>(blob.size()), 0)))
    return false;
  const UniqueBcryptKey publicKey(handle);
  auto signatureCopy = signature;  // CNG takes it writable, never writes it
  return BCRYPT_SUCCESS(Bcrypt()->verifySignature(publicKey.get(), nullptr, digest->data(),
                                                  static_cast<ULONG>(digest->size()), signatureCopy.data(),
                                                  static_cast<ULONG>(signatureCopy.size()), 0));
}

}  // namespace stickwell::win
