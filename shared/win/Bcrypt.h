#pragma once
// bcrypt.dll (CNG), loaded the first time it is needed: linked in, it would be loaded at every start of
// a note, which rarely checks for updates. Owners for its handles close them through the same table.
#include <windows.h>
#include <bcrypt.h>

#include "shared/win/WinHandles.h"

namespace stickwell::win {

struct BcryptFunctions {
  decltype(&::BCryptOpenAlgorithmProvider) openAlgorithmProvider;
  decltype(&::BCryptCloseAlgorithmProvider) closeAlgorithmProvider;
  decltype(&::BCryptCreateHash) createHash;
  decltype(&::BCryptHashData) hashData;
  decltype(&::BCryptFinishHash) finishHash;
  decltype(&::BCryptDestroyHash) destroyHash;
  decltype(&::BCryptGenerateKeyPair) generateKeyPair;
  decltype(&::BCryptFinalizeKeyPair) finalizeKeyPair;
  decltype(&::BCryptImportKeyPair) importKeyPair;
  decltype(&::BCryptExportKey) exportKey;
  decltype(&::BCryptDestroyKey) destroyKey;
  decltype(&::BCryptSignHash) signHash;
  decltype(&::BCryptVerifySignature) verifySignature;
};

// The functions, or nullptr when the system has no usable bcrypt.dll. Safe from any thread.
const BcryptFunctions* Bcrypt();

struct BcryptAlgorithmTraits {
  static BCRYPT_ALG_HANDLE Invalid() { return nullptr; }
  static bool IsValid(BCRYPT_ALG_HANDLE h) { return h != nullptr; }
  static void Close(BCRYPT_ALG_HANDLE h) { Bcrypt()->closeAlgorithmProvider(h, 0); }
};
struct BcryptHashTraits {
  static BCRYPT_HASH_HANDLE Invalid() { return nullptr; }
  static bool IsValid(BCRYPT_HASH_HANDLE h) { return h != nullptr; }
  static void Close(BCRYPT_HASH_HANDLE h) { Bcrypt()->destroyHash(h); }
};
struct BcryptKeyTraits {
  static BCRYPT_KEY_HANDLE Invalid() { return nullptr; }
  static bool IsValid(BCRYPT_KEY_HANDLE h) { return h != nullptr; }
  static void Close(BCRYPT_KEY_HANDLE h) { Bcrypt()->destroyKey(h); }
};
using UniqueBcryptAlgorithm = Unique<BCRYPT_ALG_HANDLE, BcryptAlgorithmTraits>;
using UniqueBcryptHash = Unique<BCRYPT_HASH_HANDLE, BcryptHashTraits>;
using UniqueBcryptKey = Unique<BCRYPT_KEY_HANDLE, BcryptKeyTraits>;

// An algorithm provider such as BCRYPT_SHA256_ALGORITHM; empty when it cannot be opened.
UniqueBcryptAlgorithm OpenBcryptAlgorithm(const wchar_t* algorithm);

// ECDSA P-256 keys travel as CNG key blobs: the blob header, then X and Y, then for a private key d.
inline constexpr ULONG kP256CoordinateSize = 32;

}  // namespace stickwell::win
