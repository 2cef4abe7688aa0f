#include "tools/Commands.h"

#include <algorithm>

#include "shared/Base64.h"
#include "shared/Manifest.h"
#include "shared/PlainFileName.h"
#include "shared/Text.h"
#include "tools/Files.h"
#include "tools/KeyFile.h"
#include "tools/PageWriter.h"
#include "tools/Signing.h"

namespace stickwell::page {
namespace {

CommandResult Failure(std::string line) { return {{}, std::move(line)}; }

// The paragraph (without a line break) that signs the files at `paths`, each listed under its own name.
CommandResult SignedParagraph(const std::string& keyFile, std::u16string_view version, const std::vector<std::string>& paths) {
  const auto keyText = ReadWholeFile(keyFile);
  if (keyText.index() == 1) return Failure("cannot read " + keyFile + ": " + std::get<1>(keyText));
  const auto key = ReadKeyFile(std::get<0>(keyText));
  if (!key) return Failure(keyFile + " is not a key file that stickwell-page keygen wrote");

  std::vector<manifest::FileEntry> files;
  for (const std::string& path : paths) {
    manifest::FileEntry entry;
    entry.name = Utf8ToText(FileNameOf(path));
    if (const auto fault = CheckPlainFileName(entry.name); fault != FileNameFault::kNone) {
      return Failure(path + ": the updater cannot write a file whose name " + Describe(fault));
    }
    const auto twice = std::find_if(files.begin(), files.end(), [&](const manifest::FileEntry& earlier) {
      return manifest::IsSameFileName(earlier.name, entry.name);
    });
    if (twice != files.end()) return Failure(path + ": a file of that name is already in the release");
    const auto bytes = ReadWholeFile(path);
    if (bytes.index() == 1) return Failure("cannot read " + path + ": " + std::get<1>(bytes));
    const auto sha256 = Sha256Of(std::get<0>(bytes));
    if (!sha256) return Failure("cannot hash " + path + ": the system's crypto library refused");
    entry.length = std::get<0>(bytes).size();
    entry.sha256 = *sha256;
    files.push_back(std::move(entry));
  }

  const auto signedText = manifest::SignedText(version, files);
  if (!signedText) return Failure("cannot list the release: its version or a file name is refused");
  const auto signature = Sign(*key, *signedText);
  if (!signature) return Failure("cannot sign with " + keyFile + ": the system's crypto library refused the key");
  // A key file whose halves do not belong together would sign releases no build accepts.
  if (!Verify(key->publicKey, *signedText, *signature)) {
    return Failure(keyFile + ": its private key does not belong to its public key");
  }
  return {TextToUtf8(manifest::ManifestParagraph(*signedText, *signature)), std::nullopt};
}

}  // namespace

CommandResult RunReport(const PageToolRequest& request) {
  const auto file = ReadWholeFile(request.file);
  if (file.index() == 1) return Failure("cannot read " + request.file + ": " + std::get<1>(file));
  return {PageToolOutput(request, std::get<0>(file), Verify), std::nullopt};
}

CommandResult RunKeygen(const PageToolRequest& request) {
  const auto key = GenerateSigningKey();
  if (!key) return Failure("cannot make a key: the system's crypto library refused");
  if (const auto error = CreateNewFile(request.file, KeyFileText(*key))) {
    return Failure("cannot write the key to " + request.file + ": " + *error + " (an existing file is never overwritten)");
  }
  const std::string_view point(reinterpret_cast<const char*>(key->publicKey.data()), key->publicKey.size());
  return {EncodeBase64(point) + "\n", std::nullopt};
}

CommandResult RunSign(const PageToolRequest& request) {
  CommandResult result = SignedParagraph(request.keyFile, request.version, request.files);
  if (!result.error) result.output += "\n";
  return result;
}

CommandResult RunPage(const PageToolRequest& request) {
  PageParts parts;
  parts.version = request.version;
  parts.pushOn = request.pushOn;
  parts.fullPackage = Utf8ToText(request.fullLink);
  for (const auto& [name, link] : request.listed) parts.files.push_back({Utf8ToText(name), Utf8ToText(link)});
  for (const auto& [path, lines] : {std::pair{request.changesFile, &parts.changes}, std::pair{request.messageFile, &parts.message}}) {
    if (path.empty()) continue;
    const auto bytes = ReadWholeFile(path);
    if (bytes.index() == 1) return Failure("cannot read " + path + ": " + std::get<1>(bytes));
    auto read = TextFileLines(std::get<0>(bytes));
    if (!read) return Failure(path + " is not UTF-8 text: save it as UTF-8");
    *lines = std::move(*read);
  }
  if (const auto error = CheckPageParts(parts)) return Failure(*error);

  std::u16string signedParagraph;
  if (!request.keyFile.empty()) {
    std::vector<std::string> paths;
    for (const auto& [name, link] : request.listed) paths.push_back(request.dir + "/" + name);
    const CommandResult signature = SignedParagraph(request.keyFile, request.version, paths);
    if (signature.error) return signature;
    signedParagraph = Utf8ToText(signature.output);
  }
  return {TextToUtf8(ComposePage(parts, signedParagraph)) + "\n", std::nullopt};
}

}  // namespace stickwell::page
