#include "tools/PageTool.h"

#include "shared/Text.h"
#include "tools/PageReport.h"

namespace stickwell::page {
namespace {

std::string UsageError(const std::string& problem) { return problem + "; " + std::string(kPageToolUsage); }

// keygen KEYFILE
std::variant<PageToolRequest, std::string> ParseKeygen(std::span<const std::string> arguments) {
  if (arguments.size() != 1) return UsageError("keygen takes one key file");
  PageToolRequest request;
  request.command = PageCommand::Keygen;
  request.file = arguments[0];
  return request;
}

// sign --key KEYFILE --version V FILE...
std::variant<PageToolRequest, std::string> ParseSign(std::span<const std::string> arguments) {
  PageToolRequest request;
  request.command = PageCommand::Sign;
  bool haveKey = false;
  bool haveVersion = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool takesValue = !optionsEnded && (argument == "--key" || argument == "--version");
    if (takesValue && i + 1 == arguments.size()) return UsageError(argument + " needs a value");
    if (takesValue && argument == "--key") {
      if (haveKey) return UsageError("--key given twice");
      request.keyFile = arguments[++i];
      haveKey = true;
    } else if (takesValue) {
      if (haveVersion) return UsageError("--version given twice");
      request.version = Utf8ToText(arguments[++i]);
      if (!manifest::IsVersionText(request.version)) {
        return "--version " + arguments[i] + " is not a version as the page shows it, such as 13.04.21";
      }
      haveVersion = true;
    } else if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      return UsageError("unknown option " + argument);
    } else {
      request.files.push_back(argument);
    }
  }
  if (!haveKey) return UsageError("sign needs --key");
  if (!haveVersion) return UsageError("sign needs --version");
  if (request.files.empty()) return UsageError("sign needs the release's files");
  return request;
}

}  // namespace

std::variant<PageToolRequest, std::string> ParsePageToolArguments(std::span<const std::string> arguments) {
  if (!arguments.empty() && arguments[0] == "keygen") return ParseKeygen(arguments.subspan(1));
  if (!arguments.empty() && arguments[0] == "sign") return ParseSign(arguments.subspan(1));

  PageToolRequest request;
  bool haveFile = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!optionsEnded && argument == "--json") {
      request.json = true;
    } else if (!optionsEnded && argument == "--share") {
      request.sharePage = true;
    } else if (!optionsEnded && argument == "--public-key") {
      if (i + 1 == arguments.size()) return UsageError("--public-key needs a value");
      request.publicKey = manifest::ReadPublicKey(arguments[++i]);
      if (!request.publicKey) return "--public-key " + arguments[i] + " is not the line that keygen printed";
    } else if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      return UsageError("unknown option " + argument);
    } else if (haveFile) {
      return UsageError("more than one file");
    } else {
      request.file = argument;
      haveFile = true;
    }
  }
  if (!haveFile) return UsageError("no file given");
  if (request.sharePage && request.publicKey) return UsageError("a share page carries no signature");
  return request;
}

std::string PageToolOutput(const PageToolRequest& request, std::string_view fileBytes, VerifyFunction verify) {
  const std::u16string page = Utf8ToText(fileBytes);
  if (request.sharePage) return request.json ? SharePageJson(page) : SharePageSummary(page);
  manifest::SignatureCheck check;
  if (request.publicKey && verify) {
    check = [&key = *request.publicKey, verify](std::string_view signedPart, const manifest::Signature& signature) {
      return verify(key, signedPart, signature);
    };
  }
  return request.json ? UpdatePageJson(page, check) : UpdatePageSummary(page, check);
}

}  // namespace stickwell::page
