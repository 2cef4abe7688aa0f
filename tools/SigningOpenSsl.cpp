// The makers' signing through OpenSSL's libcrypto, for the tool built natively.
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>

#include <memory>
#include <vector>

#include "tools/Signing.h"

namespace stickwell::page {
namespace {

template <auto Free>
struct Deleter {
  void operator()(auto* object) const { Free(object); }
};
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using KeyContext = std::unique_ptr<EVP_PKEY_CTX, Deleter<EVP_PKEY_CTX_free>>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, Deleter<EVP_MD_CTX_free>>;
using Number = std::unique_ptr<BIGNUM, Deleter<BN_clear_free>>;
using ParamBuilder = std::unique_ptr<OSSL_PARAM_BLD, Deleter<OSSL_PARAM_BLD_free>>;
using Params = std::unique_ptr<OSSL_PARAM, Deleter<OSSL_PARAM_free>>;
using EcdsaSignature = std::unique_ptr<ECDSA_SIG, Deleter<ECDSA_SIG_free>>;

// A P-256 key from its public point and, for a key that signs, its private scalar.
Key MakeKey(const manifest::PublicKey& point, const std::array<std::uint8_t, 32>* scalar) {
  ParamBuilder builder(OSSL_PARAM_BLD_new());
  Number secret(scalar ? BN_bin2bn(scalar->data(), static_cast<int>(scalar->size()), nullptr) : nullptr);
  if (!builder || (scalar && !secret) ||
      !OSSL_PARAM_BLD_push_utf8_string(builder.get(), OSSL_PKEY_PARAM_GROUP_NAME, SN_X9_62_prime256v1, 0) ||
      !OSSL_PARAM_BLD_push_octet_string(builder.get(), OSSL_PKEY_PARAM_PUB_KEY, point.data(), point.size()) ||
      (secret && !OSSL_PARAM_BLD_push_BN(builder.get(), OSSL_PKEY_PARAM_PRIV_KEY, secret.get())))
    return nullptr;
  const Params params(OSSL_PARAM_BLD_to_param(builder.get()));
  const KeyContext context(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
  EVP_PKEY* key = nullptr;
  if (!params || !context || EVP_PKEY_fromdata_init(context.get()) != 1 ||
      EVP_PKEY_fromdata(context.get(), &key, scalar ? EVP_PKEY_KEYPAIR : EVP_PKEY_PUBLIC_KEY, params.get()) != 1)
    return nullptr;
  return Key(key);
}

}  // namespace

std::optional<SigningKey> GenerateSigningKey() {
  const Key key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", SN_X9_62_prime256v1));
  SigningKey made;
  std::size_t pointSize = 0;
  BIGNUM* scalar = nullptr;
  if (!key ||
      EVP_PKEY_get_octet_string_param(key.get(), OSSL_PKEY_PARAM_PUB_KEY, made.publicKey.data(),
                                      made.publicKey.size(), &pointSize) != 1 ||
      pointSize != made.publicKey.size() || made.publicKey[0] != 0x04 ||
      EVP_PKEY_get_bn_param(key.get(), OSSL_PKEY_PARAM_PRIV_KEY, &scalar) != 1)
    return std::nullopt;
  const Number owned(scalar);
  if (BN_bn2binpad(owned.get(), made.privateKey.data(), static_cast<int>(made.privateKey.size())) < 0)
    return std::nullopt;
  return made;
}

std::optional<manifest::Signature> Sign(const SigningKey& key, std::string_view message) {
  const Key signer = MakeKey(key.publicKey, &key.privateKey);
  const DigestContext context(EVP_MD_CTX_new());
  if (!signer || !context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, signer.get()) != 1)
    return std::nullopt;
  const auto* data = reinterpret_cast<const unsigned char*>(message.data());
  std::size_t derSize = 0;
  if (EVP_DigestSign(context.get(), nullptr, &derSize, data, message.size()) != 1) return std::nullopt;
  std::vector<unsigned char> der(derSize);
  if (EVP_DigestSign(context.get(), der.data(), &derSize, data, message.size()) != 1) return std::nullopt;

  // OpenSSL writes the DER sequence of r and s; the paragraph carries them as two 32-byte numbers.
  const unsigned char* read = der.data();
  const EcdsaSignature parsed(d2i_ECDSA_SIG(nullptr, &read, static_cast<long>(derSize)));
  if (!parsed) return std::nullopt;
  manifest::Signature signature;
  if (BN_bn2binpad(ECDSA_SIG_get0_r(parsed.get()), signature.data(), 32) != 32 ||
      BN_bn2binpad(ECDSA_SIG_get0_s(parsed.get()), signature.data() + 32, 32) != 32)
    return std::nullopt;
  return signature;
}

bool Verify(const manifest::PublicKey& key, std::string_view message, const manifest::Signature& signature) {
  const Key verifier = MakeKey(key, nullptr);
  EcdsaSignature parsed(ECDSA_SIG_new());
  BIGNUM* r = BN_bin2bn(signature.data(), 32, nullptr);
  BIGNUM* s = BN_bin2bn(signature.data() + 32, 32, nullptr);
  if (!parsed || !r || !s || ECDSA_SIG_set0(parsed.get(), r, s) != 1) {
    BN_free(r);
    BN_free(s);
    return false;
  }
  unsigned char* der = nullptr;
  const int derSize = i2d_ECDSA_SIG(parsed.get(), &der);
  const std::unique_ptr<unsigned char, Deleter<[](unsigned char* p) { OPENSSL_free(p); }>> ownedDer(der);
  const DigestContext context(EVP_MD_CTX_new());
  return verifier && derSize > 0 && context &&
         EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, verifier.get()) == 1 &&
         EVP_DigestVerify(context.get(), der, static_cast<std::size_t>(derSize),
                          reinterpret_cast<const unsigned char*>(message.data()), message.size()) == 1;
}

std::optional<manifest::Sha256Digest> Sha256Of(std::string_view bytes) {
  manifest::Sha256Digest digest;
  unsigned int size = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_sha256(), nullptr) != 1 ||
      size != digest.size())
    return std::nullopt;
  return digest;
}

}  // namespace stickwell::page
