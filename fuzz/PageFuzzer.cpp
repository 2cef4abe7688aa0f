// libFuzzer target: any bytes as an update page and as a share page, through the decoder, every reader
// and the makers' report; and as a signed list, base64 and a key file. Besides the sanitizers it checks
// what callers rely on: the decoder agrees with a plain byte-by-byte decoder, RemoveAll agrees with the
// repeated-pass rule, a file name that comes out is always a plain one, and whatever the signed-list,
// base64 and key-file readers accept is exactly what their writers make of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shared/Base64.h"
#include "shared/Manifest.h"
#include "shared/PageMarkers.h"
#include "shared/Text.h"
#include "shared/UpdatePage.h"
#include "tools/KeyFile.h"
#include "tools/PageReport.h"
#include "tools/Utf8Out.h"

namespace {

using namespace stickwell;
using namespace stickwell::page;

void Require(bool condition) {
  if (!condition) std::abort();
}

// The decoder of the WHATWG Encoding standard, one byte at a time: the same maximal-subpart rule,
// written the slow and obvious way.
std::u16string ReferenceDecode(std::string_view bytes) {
  std::u16string text;
  char32_t code = 0;
  int needed = 0;
  int seen = 0;
  unsigned lower = 0x80;
  unsigned upper = 0xBF;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned byte = static_cast<unsigned char>(bytes[i]);
    if (needed == 0) {
      if (byte <= 0x7F) {
        text += static_cast<char16_t>(byte);
      } else if (byte >= 0xC2 && byte <= 0xDF) {
        needed = 1;
        code = byte & 0x1F;
      } else if (byte >= 0xE0 && byte <= 0xEF) {
        if (byte == 0xE0) lower = 0xA0;
        if (byte == 0xED) upper = 0x9F;
        needed = 2;
        code = byte & 0xF;
      } else if (byte >= 0xF0 && byte <= 0xF4) {
        if (byte == 0xF0) lower = 0x90;
        if (byte == 0xF4) upper = 0x8F;
        needed = 3;
        code = byte & 0x7;
      } else {
        text += u'\uFFFD';
      }
      continue;
    }
    if (byte < lower || byte > upper) {
      code = 0;
      needed = seen = 0;
      lower = 0x80;
      upper = 0xBF;
      text += u'\uFFFD';
      --i;  // read this byte again
      continue;
    }
    lower = 0x80;
    upper = 0xBF;
    code = (code << 6) | (byte & 0x3F);
    if (++seen != needed) continue;
    if (code >= 0x10000) {
      text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      text += static_cast<char16_t>(code);
    }
    code = 0;
    needed = seen = 0;
  }
  if (needed != 0) text += u'\uFFFD';
  return text;
}

std::u16string RemoveInPasses(std::u16string text, std::u16string_view pattern) {
  while (!pattern.empty() && text.find(pattern) != std::u16string::npos) {
    std::u16string rest;
    std::size_t from = 0;
    for (std::size_t hit = text.find(pattern); hit != std::u16string::npos; hit = text.find(pattern, from)) {
      rest.append(text, from, hit - from);
      from = hit + pattern.size();
    }
    text = rest + text.substr(from);
  }
  return text;
}

void CheckDecoder(std::string_view bytes, const std::u16string& text) {
  Require(text.size() <= bytes.size());
  Require(text == ReferenceDecode(bytes));
  // Whatever did not come back unchanged was replaced.
  if (text.find(u'\uFFFD') == std::u16string::npos) Require(TextToUtf8(text) == bytes);
}

void CheckRemoveAll(const std::u16string& page, std::size_t patternLength) {
  if (page.size() > 4096 || page.size() < patternLength) return;
  const std::u16string pattern = page.substr(0, patternLength);
  std::u16string text = page.substr(patternLength);
  const std::u16string expected = RemoveInPasses(text, pattern);
  RemoveAll(text, pattern);
  Require(text == expected);
}

void CheckReaders(const std::u16string& page) {
  if (const auto version = ReadPageVersion(page)) Require(version->size() <= 8);
  (void)ReadChangeLog(page);
  (void)ParagraphText(page);
  if (const auto entries = ReadDownloadList(page)) {
    for (const DownloadEntry& entry : *entries) {
      Require(!entry.entryText.empty() && entry.entryText.back() == u'"');
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
  std::u16string cleaned = page;
  CleanLinkMarkup(cleaned);
  Require(cleaned.find(kLinkMarkup.back()) == std::u16string::npos);
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
  CheckDecoder(bytes, page);
  CheckReaders(page);
  CheckSignedForms(bytes, page);
  const std::string json = UpdatePageJson(page, [size](std::string_view, const manifest::Signature&) { return size % 2 == 0; });
  Require(!json.empty() && json.front() == '{' && json.back() == '\n');
  (void)UpdatePageSummary(page);
  (void)SharePageJson(page);
  (void)SharePageSummary(page);
  if (size > 0) CheckRemoveAll(page, 1 + data[0] % 5);
  return 0;
}
