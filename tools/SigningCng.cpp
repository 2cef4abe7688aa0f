// The makers' signing through CNG, for the tool built for Windows. Hashing and verifying are the
// programs' own (shared/win/Crypto); only making keys and signing are the tool's.
#include <algorithm>
#include <vector>

#include "shared/win/Bcrypt.h"
#include "shared/win/Crypto.h"
#include "tools/Signing.h"

namespace stickwell::page {
namespace {

// A private key blob: the header, then X, Y and d, 32 bytes each.
constexpr std::size_t kPrivateBlobSize = sizeof(BCRYPT_ECCKEY_BLOB) + 3 * win::kP256CoordinateSize;

// Wipes the private scalar from a blob when it goes.
struct PrivateBlob {
  std::vector<UCHAR> bytes = std::vector<UCHAR>(kPrivateBlobSize);
  ~PrivateBlob() { ::SecureZeroMemory(bytes.data(), bytes.size()); }
};

}  // namespace

std::optional<SigningKey> GenerateSigningKey() {
  const win::BcryptFunctions* bcrypt = win::Bcrypt();
  const win::UniqueBcryptAlgorithm ecdsa = win::OpenBcryptAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  BCRYPT_KEY_HANDLE handle = nullptr;
  if (!ecdsa || !BCRYPT_SUCCESS(bcrypt->generateKeyPair(ecdsa.get(), &handle, 256, 0))) return std::nullopt;
  const win::UniqueBcryptKey key(handle);
  PrivateBlob blob;
  ULONG size = 0;
  if (!BCRYPT_SUCCESS(bcrypt->finalizeKeyPair(key.get(), 0)) ||
      !BCRYPT_SUCCESS(bcrypt->exportKey(key.get(), nullptr, BCRYPT_ECCPRIVATE_BLOB, blob.bytes.data(),
                                        static_cast<ULONG>(blob.bytes.size()), &size, 0)) ||
      size != blob.bytes.size())
    return std::nullopt;
  SigningKey made;
  made.publicKey[0] = 0x04;
  const auto coordinates = blob.bytes.begin() + sizeof(BCRYPT_ECCKEY_BLOB);
  std::copy_n(coordinates, 2 * win::kP256CoordinateSize, made.publicKey.begin() + 1);
  std::copy_n(coordinates + 2 * win::kP256CoordinateSize, win::kP256CoordinateSize, made.privateKey.begin());
  return made;
}

std::optional<manifest::Signature> Sign(const SigningKey& key, std::string_view message) {
  const win::BcryptFunctions* bcrypt = win::Bcrypt();
  const win::UniqueBcryptAlgorithm ecdsa = win::OpenBcryptAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  auto digest = Sha256Of(message);
  if (!ecdsa || !digest) return std::nullopt;

  PrivateBlob blob;
  const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PRIVATE_P256_MAGIC, win::kP256CoordinateSize};
  std::copy_n(reinterpret_cast<const UCHAR*>(&header), sizeof header, blob.bytes.begin());
  const auto coordinates = std::copy(key.publicKey.begin() + 1, key.publicKey.end(), blob.bytes.begin() + sizeof header);
  std::copy(key.privateKey.begin(), key.privateKey.end(), coordinates);
  BCRYPT_KEY_HANDLE handle = nullptr;
  if (!BCRYPT_SUCCESS(bcrypt->importKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPRIVATE_BLOB, &handle, blob.bytes.data(),
                                            static_cast<ULONG>(blob.bytes.size()), 0)))
    return std::nullopt;
  const win::UniqueBcryptKey signer(handle);

  // Asked for the size first, Wine answers 32; a P-256 signature is always 64 bytes, so ask for those.
  manifest::Signature signature;
  ULONG size = 0;
  if (!BCRYPT_SUCCESS(bcrypt->signHash(signer.get(), nullptr, digest->data(), static_cast<ULONG>(digest->size()),
                                       signature.data(), static_cast<ULONG>(signature.size()), &size, 0)) ||
      size != signature.size())
    return std::nullopt;
  return signature;
}

bool Verify(const manifest::PublicKey& key, std::string_view message, const manifest::Signature& signature) {
  return win::VerifySignature(key, message, signature);
}

std::optional<manifest::Sha256Digest> Sha256Of(std::string_view bytes) {
  win::Sha256 sha256;
  sha256.add(bytes.data(), bytes.size());
  return sha256.finish();
}

}  // namespace stickwell::page
