#include "shared/Manifest.h"

#include <algorithm>
#include <charconv>

#include "shared/Base64.h"
#include "shared/PageMarkers.h"
#include "shared/PlainFileName.h"
#include "shared/Text.h"

namespace stickwell::manifest {
namespace {

constexpr std::string_view kVersionField = "version ";
constexpr std::string_view kFileField = "file ";
constexpr char kHexDigits[] = "0123456789abcdef";

std::u16string FoldCase(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return folded;
}

bool NamesAreUsable(const std::vector<FileEntry>& files) {
  std::vector<std::u16string> folded;
  folded.reserve(files.size());
  for (const FileEntry& file : files) {
    if (!page::IsPlainFileName(file.name)) return false;
    folded.push_back(FoldCase(file.name));
  }
  std::sort(folded.begin(), folded.end());
  return std::adjacent_find(folded.begin(), folded.end()) == folded.end();
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Cuts the next line off `rest`, without its LF; nothing when no LF is left.
std::optional<std::string_view> NextLine(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view line = rest.substr(0, end);
  rest.remove_prefix(end + 1);
  return line;
}

// "LENGTH SHA256 NAME" after "file ".
std::optional<FileEntry> ReadFileFields(std::string_view fields) {
  const std::size_t blank = fields.find(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  FileEntry entry;
  const std::string_view length = fields.substr(0, blank);
  const auto [end, error] = std::from_chars(length.data(), length.data() + length.size(), entry.length);
  if (error != std::errc() || end != length.data() + length.size()) return std::nullopt;

  fields.remove_prefix(blank + 1);
  const std::size_t hexLength = entry.sha256.size() * 2;
  if (fields.size() < hexLength + 1 || fields[hexLength] != ' ') return std::nullopt;
  for (std::size_t i = 0; i < entry.sha256.size(); ++i) {
    const int high = HexValue(fields[2 * i]);
    const int low = HexValue(fields[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    entry.sha256[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  entry.name = Utf8ToText(fields.substr(hexLength + 1));
  return entry;
}

}  // namespace

bool IsSameFileName(std::u16string_view a, std::u16string_view b) { return FoldCase(a) == FoldCase(b); }

std::optional<PublicKey> ReadPublicKey(std::string_view base64) {
  const auto bytes = DecodeBase64(base64);
  PublicKey key;
  if (!bytes || bytes->size() != key.size() || (*bytes)[0] != 0x04) return std::nullopt;
  std::copy(bytes->begin(), bytes->end(), key.begin());
  return key;
}

bool IsVersionText(std::u16string_view version) {
  if (version.size() != 8) return false;
  for (std::size_t i = 0; i < version.size(); ++i) {
    const bool dot = i % 3 == 2;
    if (dot ? version[i] != u'.' : version[i] < u'0' || version[i] > u'9') return false;
  }
  return true;
}

std::optional<std::string> SignedText(std::u16string_view version, const std::vector<FileEntry>& files) {
  if (!IsVersionText(version) || files.empty() || !NamesAreUsable(files)) return std::nullopt;
  std::string text(kFormatLine);
  text += '\n';
  text += kVersionField;
  text += TextToUtf8(version);
  text += '\n';
  for (const FileEntry& file : files) {
    text += kFileField;
    text += std::to_string(file.length);
    text += ' ';
    for (const std::uint8_t byte : file.sha256) {
      text += kHexDigits[byte >> 4];
      text += kHexDigits[byte & 0x0F];
    }
    text += ' ';
    text += TextToUtf8(file.name);
    text += '\n';
  }
  return text;
}

std::optional<SignedContent> ReadSignedText(std::string_view signedPart) {
  std::string_view rest = signedPart;
  const auto format = NextLine(rest);
  const auto version = NextLine(rest);
  if (!format || *format != kFormatLine || !version || !version->starts_with(kVersionField)) return std::nullopt;
  SignedContent content;
  content.version = Utf8ToText(version->substr(kVersionField.size()));
  while (!rest.empty()) {
    const auto line = NextLine(rest);
    if (!line || !line->starts_with(kFileField)) return std::nullopt;
    auto file = ReadFileFields(line->substr(kFileField.size()));
    if (!file) return std::nullopt;
    content.files.push_back(std::move(*file));
  }
  // One spelling only: leading zeros, capital hex digits, bytes that are not UTF-8, a version or a
  // name the makers' tool would refuse all make the text differ from what the tool writes.
  const auto canonical = SignedText(content.version, content.files);
  if (!canonical || *canonical != signedPart) return std::nullopt;
  return content;
}

std::u16string ManifestParagraph(std::string_view signedPart, const Signature& signature) {
  std::string blob(signedPart);
  blob.append(reinterpret_cast<const char*>(signature.data()), signature.size());
  const std::string base64 = EncodeBase64(blob);
  return u"<p>" + std::u16string(kMarker) + std::u16string(base64.begin(), base64.end()) + u"</p>";
}

std::optional<Manifest> ReadManifest(std::u16string_view page) {
  const std::size_t end = FindText(page, page::kPushEndMarker);
  if (end == std::u16string_view::npos) return std::nullopt;
  const std::size_t marker = FindText(page, kMarker, end + page::kPushEndMarker.size());
  if (marker == std::u16string_view::npos) return std::nullopt;
  const std::size_t start = marker + kMarker.size();
  std::size_t stop = start;
  while (stop < page.size() && IsBase64Character(page[stop])) ++stop;
  const std::string base64(page.begin() + static_cast<std::ptrdiff_t>(start),
                           page.begin() + static_cast<std::ptrdiff_t>(stop));  // all ASCII
  const auto blob = DecodeBase64(base64);
  Manifest manifest;
  if (!blob || blob->size() <= manifest.signature.size()) return std::nullopt;
  manifest.signedPart = blob->substr(0, blob->size() - manifest.signature.size());
  std::copy(blob->end() - static_cast<std::ptrdiff_t>(manifest.signature.size()), blob->end(),
            manifest.signature.begin());
  auto content = ReadSignedText(manifest.signedPart);
  if (!content) return std::nullopt;
  manifest.version = std::move(content->version);
  manifest.files = std::move(content->files);
  return manifest;
}

PageTrust TrustPage(std::u16string_view page, std::u16string_view pageVersion, bool keyBuiltIn,
                    const SignatureCheck& check) {
  if (!keyBuiltIn) return {Trust::NotRequired, std::nullopt};
  auto manifest = ReadManifest(page);
  if (!manifest) return {Trust::Missing, std::nullopt};
  if (!check || !check(manifest->signedPart, manifest->signature)) return {Trust::BadSignature, std::nullopt};
  if (manifest->version != pageVersion) return {Trust::OtherVersion, std::nullopt};
  return {Trust::Verified, std::move(manifest)};
}

bool ListsSameNames(const Manifest& manifest, const std::vector<std::u16string>& downloadNames) {
  std::vector<std::u16string> listed;
  for (const FileEntry& file : manifest.files) listed.push_back(file.name);
  std::vector<std::u16string> downloads = downloadNames;
  std::sort(listed.begin(), listed.end());
  std::sort(downloads.begin(), downloads.end());
  return listed == downloads;
}

const FileEntry* FindFile(const Manifest& manifest, std::u16string_view name) {
  const auto found = std::find_if(manifest.files.begin(), manifest.files.end(),
                                  [&](const FileEntry& file) { return file.name == name; });
  return found == manifest.files.end() ? nullptr : &*found;
}

}  // namespace stickwell::manifest
