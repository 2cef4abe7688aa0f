// The makers' public key, alone in a file of its own: the test build links the same programs twice,
// once with the key and once without it (STICKWELL_WITHOUT_UPDATE_KEY), to show what a build without a
// key accepts, instead of compiling everything a second time.
#include "BuildConfig.h"
#include "shared/win/Crypto.h"

namespace stickwell::win {
namespace {

#ifdef STICKWELL_WITHOUT_UPDATE_KEY
constexpr char kPublicKey[] = "";
#else
constexpr const char* kPublicKey = config::kUpdatePublicKey;
#endif

}  // namespace

bool UpdateKeyBuiltIn() { return kPublicKey[0] != '\0'; }

manifest::PageTrust TrustUpdatePage(std::u16string_view page, std::u16string_view pageVersion) {
  // A key that does not read as one (the build checks its form) makes every signature fail: such a build
  // installs nothing rather than everything.
  const auto key = manifest::ReadPublicKey(kPublicKey);
  return manifest::TrustPage(page, pageVersion, UpdateKeyBuiltIn(),
                             [&](std::string_view signedPart, const manifest::Signature& signature) {
                               return key && VerifySignature(*key, signedPart, signature);
                             });
}

}  // namespace stickwell::win
