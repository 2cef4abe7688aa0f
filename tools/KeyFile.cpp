#include "tools/KeyFile.h"

#include <algorithm>

#include "shared/Base64.h"

namespace stickwell::page {
namespace {

constexpr std::string_view kPublicField = "public-key ";
constexpr std::string_view kPrivateField = "private-key ";

std::string_view Bytes(const auto& array) {
  return {reinterpret_cast<const char*>(array.data()), array.size()};
}

}  // namespace

std::string KeyFileText(const SigningKey& key) {
  return "# stickwell-page signing key. Keep it secret: whoever holds it can sign updates that every\n"
         "# build with the public key below installs.\n" +
         std::string(kPublicField) + EncodeBase64(Bytes(key.publicKey)) + "\n" + std::string(kPrivateField) +
         EncodeBase64(Bytes(key.privateKey)) + "\n";
}

std::optional<SigningKey> ReadKeyFile(std::string_view text) {
  SigningKey key;
  bool havePublic = false;
  bool havePrivate = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.starts_with('#')) continue;
    if (line.starts_with(kPublicField) && !havePublic) {
      const auto point = manifest::ReadPublicKey(line.substr(kPublicField.size()));
      if (!point) return std::nullopt;
      key.publicKey = *point;
      havePublic = true;
    } else if (line.starts_with(kPrivateField) && !havePrivate) {
      const auto scalar = DecodeBase64(line.substr(kPrivateField.size()));
      if (!scalar || scalar->size() != key.privateKey.size()) return std::nullopt;
      std::copy(scalar->begin(), scalar->end(), key.privateKey.begin());
      havePrivate = true;
    } else {
      return std::nullopt;
    }
  }
  if (!havePublic || !havePrivate) return std::nullopt;
  return key;
}

}  // namespace stickwell::page
