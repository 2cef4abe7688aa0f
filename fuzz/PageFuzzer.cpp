// libFuzzer target over what both programs read from a page: any bytes as an update page and as a
// share page through every reader, and as a signed list, base64 and a key file. Besides the sanitizers
// it checks what callers rely on: a file name that comes out is always a plain one, the cleaning leaves
// none of the last markup pattern, and whatever the signed-list, base64 and key-file readers accept is
// exactly what their writers make of it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/Require.h"
#include "shared/Base64.h"
#include "shared/Manifest.h"
#include "shared/PageMarkers.h"
#include "shared/Text.h"
#include "shared/UpdatePage.h"
#include "tools/KeyFile.h"

namespace {

using namespace stickwell;
using namespace stickwell::page;
using stickwell::fuzz::Require;

void CheckReaders(const std::u16string& page) {
  if (const auto version = ReadPageVersion(page)) Require(version->size() <= 8);
  (void)ReadChangeLog(page);
  (void)ParagraphText(page);
  if (const auto entries = ReadDownloadList(page)) {
    for (const DownloadEntry& entry : *entries) {
      Require(!entry.entryText.empty() && entry.entryText.back() == u'"');
      // Cut from the cleaned section, whose last pattern is sure to be gone.
      Require(entry.entryText.find(kLinkMarkup.back()) == std::u16string::npos);
      Require(entry.shareAddress.find(u'"') == std::u16string::npos);
      if (const auto name = ReadEntryFileName(entry.entryText)) {
        Require(IsPlainFileName(*name) && name->find_first_of(u"\"\\/:") == std::u16string::npos);
      }
    }
  }
  if (const auto address = ReadDirectAddress(page)) Require(address->find(u'"') == std::u16string::npos);
  const auto pushSwitch = ReadPushSwitch(page);
  if (pushSwitch) Require(pushSwitch->size() == 1);
  Require(IsPushOn(pushSwitch) == (pushSwitch && *pushSwitch == kPushOn));
  // Each pattern is removed once, in order, so a later removal may bring back an earlier pattern; only
  // the last one is sure to be gone.
  if (const auto message = ReadPushMessage(page)) Require(message->find(kTextMarkup.back()) == std::u16string::npos);
  (void)ReadEntryFileName(page);
}

// One spelling for everything that is signed or keyed: reading and writing again gives the same bytes.
void CheckSignedForms(std::string_view bytes, const std::u16string& page) {
  if (const auto decoded = DecodeBase64(bytes)) Require(EncodeBase64(*decoded) == bytes);
  if (const auto content = manifest::ReadSignedText(bytes)) {
    Require(manifest::SignedText(content->version, content->files) == bytes);
    for (const auto& file : content->files) Require(IsPlainFileName(file.name));
  }
  if (const auto key = ReadKeyFile(bytes)) {
    const auto again = ReadKeyFile(KeyFileText(*key));
    Require(again && again->publicKey == key->publicKey && again->privateKey == key->privateKey);
  }
  if (const auto list = manifest::ReadManifest(page)) {
    Require(manifest::ReadSignedText(list->signedPart).has_value() && !list->files.empty());
    const std::u16string paragraph = manifest::ManifestParagraph(list->signedPart, list->signature);
    Require(manifest::ReadManifest(u"最新完整版" + paragraph) == list);
  }
  const auto trust = manifest::TrustPage(page, ReadPageVersion(page).value_or(u""), true,
                                         [](std::string_view, const manifest::Signature&) { return true; });
  Require(trust.manifest.has_value() == (trust.trust == manifest::Trust::Verified));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string page = Utf8ToText(bytes);
  CheckReaders(page);
  CheckSignedForms(bytes, page);
  return 0;
}
