#include <gtest/gtest.h>

#include "shared/Base64.h"
#include "shared/Manifest.h"
#include "tools/KeyFile.h"

namespace stickwell::manifest {
namespace {

TEST(Base64, OneSpellingPerByteString) {
  const std::pair<std::string, std::string> spellings[] = {{"", ""}, {"Zg==", "f"}, {"Zm8=", "fo"}, {"+/8=", "\xFB\xFF"}};
  for (const auto& [text, bytes] : spellings) {
    EXPECT_EQ(DecodeBase64(text), bytes);
    EXPECT_EQ(EncodeBase64(bytes), text);
  }
  // A length that is no multiple of four, bits left over after the last byte, padding before the end, a
  // line break, the URL alphabet.
  for (const char* text : {"Zg=", "Zh==", "Zm9=", "Zg==Zg==", "Z===", "Zm9v\n", "Zm-v"}) EXPECT_FALSE(DecodeBase64(text)) << text;
}

const Sha256Digest kDigest = {0xAB, 0x01};
const std::string kHex = "ab01" + std::string(60, '0');
const std::string kHead = "stickwell-manifest 1\nversion 13.04.21\n";

TEST(SignedText, ExactlyTheLinesTheToolWrites) {
  const std::vector<FileEntry> release = {{u"Stickwell.exe", 1234, kDigest}, {u"新建 文本.txt", 0, kDigest}};
  const std::string written = *SignedText(u"13.04.21", release);
  EXPECT_EQ(written, kHead + "file 1234 " + kHex + " Stickwell.exe\nfile 0 " + kHex + " 新建 文本.txt\n");
  ASSERT_TRUE(ReadSignedText(written));
  EXPECT_EQ(ReadSignedText(written)->files, release);
  EXPECT_EQ(ReadSignedText(kHead + "file 18446744073709551615 " + kHex + " a\n")->files[0].length, UINT64_MAX);

  const std::string file = "file 5 " + kHex + " a.exe\n";
  for (const std::string& text : {
           "version 13.04.21\n" + file,                                // format line missing
           "stickwell-manifest 2\nversion 13.04.21\n" + file,          // a later format
           "stickwell-manifest 1\n" + file,                            // version missing
           "stickwell-manifest 1\n" + file + "version 13.04.21\n",     // reordered
           "stickwell-manifest 1\nversion 13.4.21\n" + file,           // not the page's form
           kHead,                                                      // no file
           kHead + file + file,                                        // a file twice
           kHead + file + "file 5 " + kHex + " A.EXE\n",               // the same file to Windows
           kHead + "file " + kHex + " 5 a.exe\n",                      // fields reordered
           kHead + "file 05 " + kHex + " a.exe\n",
           kHead + "file 18446744073709551616 " + kHex + " a.exe\n",   // beyond 64 bits
           kHead + "file 5 AB01" + std::string(60, '0') + " a.exe\n",
           kHead + "file 5 " + kHex.substr(1) + " a.exe\n",            // truncated digest
           kHead + "file 5  " + kHex + " a.exe\n",
           kHead + "file 5 " + kHex + " \n",                           // no name
           kHead + "file 5 " + kHex + " ..\\Stickwell.exe\n",
           kHead + "file 5 " + kHex + " \xFF.exe\n",                   // not UTF-8
           kHead + "file 5 " + kHex + " a.exe",                        // truncated: no line end
           kHead + "file 5 " + kHex + " a.exe\r\n",
           kHead + file + "x",                                         // trailing junk
       }) {
    EXPECT_FALSE(ReadSignedText(text)) << text;
  }
}

// Stands in for ECDSA: a checksum of the signed bytes that any changed bit changes.
Signature FakeSign(std::string_view signedPart) {
  Signature signature{};
  for (std::size_t i = 0; i < signedPart.size(); ++i) signature[i % 64] ^= static_cast<std::uint8_t>(signedPart[i] + i);
  return signature;
}
bool FakeCheck(std::string_view signedPart, const Signature& signature) { return FakeSign(signedPart) == signature; }

std::u16string Page(std::u16string_view version, std::u16string_view paragraph) {
  return u"<p>Ver" + std::u16string(version) + u"</p><p>最新完整版</p>" + std::u16string(paragraph);
}

TEST(TrustPage, OnlyASignedListOfThePagesVersion) {
  const std::string text = kHead + "file 5 " + kHex + " Stickwell.exe\n";
  const std::u16string paragraph = ManifestParagraph(text, FakeSign(text));
  std::u16string escaped = paragraph;  // pasted into a visual editor: the tags become text
  escaped.replace(0, 3, u"&lt;p&gt;");
  const struct {
    std::u16string page;
    bool keyBuiltIn;
    Trust trust;
  } cases[] = {
      {Page(u"13.04.21", paragraph), true, Trust::Verified},
      {Page(u"13.04.21", escaped), true, Trust::Verified},
      {Page(u"13.04.21", u""), false, Trust::NotRequired},
      {Page(u"13.04.21", u""), true, Trust::Missing},
      {paragraph + Page(u"13.04.21", u""), true, Trust::Missing},  // before "最新完整版"
      {Page(u"13.04.21", paragraph.substr(0, paragraph.size() - 8)), true, Trust::Missing},  // cut short
      {Page(u"13.04.21", ManifestParagraph(text, Signature{})), true, Trust::BadSignature},
      {Page(u"13.04.22", paragraph), true, Trust::OtherVersion},
  };
  for (const auto& c : cases) {
    const PageTrust trust = TrustPage(c.page, c.page.substr(6, 8), c.keyBuiltIn, FakeCheck);
    EXPECT_EQ(trust.trust, c.trust) << testing::PrintToString(c.page);
    EXPECT_EQ(trust.manifest.has_value(), c.trust == Trust::Verified);
  }
  // Any bit flipped anywhere in the signed text or its signature, or bytes added at the end.
  const std::string blob = text + std::string(reinterpret_cast<const char*>(FakeSign(text).data()), 64);
  for (std::size_t bit = 0; bit <= blob.size() * 8; ++bit) {
    std::string changed = blob;
    if (bit < blob.size() * 8) changed[bit / 8] ^= static_cast<char>(1 << bit % 8);
    else changed += "\n";
    const std::string base64 = EncodeBase64(changed);
    const auto page = Page(u"13.04.21", u"<p>Stickwell-Signed:" + std::u16string(base64.begin(), base64.end()));
    EXPECT_FALSE(TrustPage(page, u"13.04.21", true, FakeCheck).ok()) << "bit " << bit;
  }
}

TEST(ListsSameNames, TheDownloadListNamesEachSignedFileOnce) {
  const Manifest manifest{u"13.04.21", {{u"Stickwell.exe", 1, {}}, {u"Renewick.exe", 2, {}}}, "", {}};
  using Names = std::vector<std::u16string>;
  EXPECT_TRUE(ListsSameNames(manifest, Names{u"Renewick.exe", u"Stickwell.exe"}));
  for (const Names& names : {Names{u"Stickwell.exe"}, Names{u"Stickwell.exe", u"Renewick.exe", u"evil.dll"},
                             Names{u"Stickwell.exe", u"renewick.exe"}, Names{u"Stickwell.exe", u"Stickwell.exe"}}) {
    EXPECT_FALSE(ListsSameNames(manifest, names)) << names.size();
  }
  EXPECT_EQ(FindFile(manifest, u"Renewick.exe"), &manifest.files[1]);
  EXPECT_EQ(FindFile(manifest, u"evil.dll"), nullptr);
}

TEST(KeyFile, BothHalvesOnceAndNothingElse) {
  page::SigningKey key;
  key.publicKey = {0x04, 0x7F};
  key.privateKey[31] = 0x01;
  std::string crlf = "# saved on Windows\n\n" + page::KeyFileText(key);
  for (std::size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2) crlf.insert(at, "\r");
  EXPECT_EQ(page::ReadKeyFile(crlf)->privateKey, key.privateKey);
  const std::string publicLine = crlf.substr(crlf.find("public"), 100);
  for (const std::string& text : {publicLine, crlf.substr(crlf.find("private")), crlf + publicLine, crlf + "extra",
                                  crlf.substr(0, crlf.size() - 4) + "==\n"}) {
    EXPECT_FALSE(page::ReadKeyFile(text)) << text;
  }
}

}  // namespace
}  // namespace stickwell::manifest
