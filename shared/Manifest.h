#pragma once
// The signed list of a release: which version the makers published and, for each file of the download
// list, its name, length and SHA-256. The makers paste it as one paragraph after "最新完整版", where
// none of the other page readers looks; docs/signed-updates.md describes every byte of it.
//
// A build that carries a public key installs only what such a list names. The signature check itself
// is injected (CNG in the programs, OpenSSL or CNG in the makers' tool), so this file stays free of
// any platform.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace stickwell::manifest {

// What introduces the paragraph on the page; the base64 text follows it directly.
inline constexpr std::u16string_view kMarker = u"Stickwell-Signed:";
// The first line of the signed text: names the layout, so that a later one can be told apart.
inline constexpr std::string_view kFormatLine = "stickwell-manifest 1";

using Sha256Digest = std::array<std::uint8_t, 32>;
using Signature = std::array<std::uint8_t, 64>;  // ECDSA P-256 over SHA-256: r then s, 32 bytes each
using PublicKey = std::array<std::uint8_t, 65>;  // the uncompressed P-256 point: 04, X, Y

// The public key as the makers write it into the build: the base64 of the 65-byte point, one line.
// Only the form is checked here; whether the point lies on the curve is the crypto library's to say.
std::optional<PublicKey> ReadPublicKey(std::string_view base64);

// Whether a version is in the form the programs show, two digits for each number: "13.04.21".
bool IsVersionText(std::u16string_view version);

struct FileEntry {
  std::u16string name;  // a plain file name in the program folder
  std::uint64_t length = 0;
  Sha256Digest sha256{};
  friend bool operator==(const FileEntry&, const FileEntry&) = default;
};

struct Manifest {
  std::u16string version;        // "13.04.21": as the programs read it after "Ver"
  std::vector<FileEntry> files;  // at least one, no name twice
  std::string signedPart;        // the exact bytes the signature covers
  Signature signature{};
  friend bool operator==(const Manifest&, const Manifest&) = default;
};

// Whether two names are one file in a Windows folder, where "a.exe" and "A.EXE" are the same. Letters
// beyond ASCII count as they are: the makers' file names are ASCII in practice.
bool IsSameFileName(std::u16string_view a, std::u16string_view b);

// The signed text for a version and its files, or nothing when the version is not in "13.04.21" form,
// the list is empty, a name is not a plain file name or is given twice.
std::optional<std::string> SignedText(std::u16string_view version, const std::vector<FileEntry>& files);

// The version and files of a signed text; nothing unless the text is exactly what SignedText makes.
struct SignedContent {
  std::u16string version;
  std::vector<FileEntry> files;
};
std::optional<SignedContent> ReadSignedText(std::string_view signedPart);

// The paragraph the makers paste, as HTML: "<p>", the marker, the base64 of the signed text followed by
// its signature, "</p>".
std::u16string ManifestParagraph(std::string_view signedPart, const Signature& signature);

// The manifest on an update page: the first marker after "最新完整版" and the base64 text right after
// it, up to the first character that cannot belong to it. Nothing when either marker is missing or the
// text does not decode to a well-formed manifest; the signature is not checked here.
std::optional<Manifest> ReadManifest(std::u16string_view page);

// Whether `signature` was made over `signedPart` with the private key matching the built-in one.
using SignatureCheck =
    std::function<bool(std::string_view signedPart, const std::array<std::uint8_t, 64>& signature)>;

enum class Trust {
  NotRequired,   // no key built in: the page is taken as it stands
  Verified,      // the manifest is signed with the key and names the page's version
  Missing,       // no manifest on the page, or one that cannot be read
  BadSignature,  // a manifest, but not signed with the built-in key
  OtherVersion,  // signed, but for another version than the page announces
};

struct PageTrust {
  Trust trust = Trust::Missing;
  std::optional<Manifest> manifest;  // set only when Verified
  bool ok() const { return trust == Trust::NotRequired || trust == Trust::Verified; }
};

// Whether a build may act on this page. `pageVersion` is the version as the programs read it after
// "Ver". Without a key built in the answer is NotRequired whatever the page holds.
PageTrust TrustPage(std::u16string_view page, std::u16string_view pageVersion, bool keyBuiltIn,
                    const SignatureCheck& check);

// Whether the page's download list names exactly the manifest's files: the same names, each once, in
// any order.
bool ListsSameNames(const Manifest& manifest, const std::vector<std::u16string>& downloadNames);

// The manifest's entry for a file name, or nullptr.
const FileEntry* FindFile(const Manifest& manifest, std::u16string_view name);

}  // namespace stickwell::manifest
