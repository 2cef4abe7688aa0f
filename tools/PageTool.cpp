#include "tools/PageTool.h"

#include <set>

#include "shared/Text.h"
#include "tools/PageReport.h"

namespace stickwell::page {
namespace {

std::string UsageError(const std::string& problem) { return problem + "; " + std::string(kPageToolUsage); }

std::optional<std::string> TakeVersion(const std::string& argument, PageToolRequest& request) {
  request.version = Utf8ToText(argument);
  if (manifest::IsVersionText(request.version)) return std::nullopt;
  return "--version " + argument + " is not a version as the page shows it, such as 13.04.21";
}

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
      if (auto error = TakeVersion(arguments[++i], request)) return *error;
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

// page --version V --changes FILE --file NAME=LINK... --push 开|关 [--message FILE] --full LINK
//      [--key KEYFILE --dir DIR]
std::variant<PageToolRequest, std::string> ParsePage(std::span<const std::string> arguments) {
  static const std::set<std::string> kOptions = {"--version", "--changes", "--file", "--push",
                                                 "--message", "--full",    "--key",  "--dir"};
  PageToolRequest request;
  request.command = PageCommand::Page;
  std::set<std::string> given;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    if (!kOptions.contains(option)) {
      return UsageError(option.starts_with("-") ? "unknown option " + option : "page takes its parts as options, not " + option);
    }
    if (i + 1 == arguments.size()) return UsageError(option + " needs a value");
    if (!given.insert(option).second && option != "--file") return UsageError(option + " given twice");
    const std::string& value = arguments[++i];
    if (option == "--version") {
      if (auto error = TakeVersion(value, request)) return *error;
    } else if (option == "--file") {
      // The name ends at the first "=": a share link has more of them.
      const std::size_t equals = value.find('=');
      if (equals == std::string::npos) return UsageError("--file takes NAME=LINK, not " + value);
      request.listed.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    } else if (option == "--push") {
      if (value != "开" && value != "关") return "--push takes 开 (the message is shown) or 关, not " + value;
      request.pushOn = value == "开";
    } else {
      std::string& field = option == "--changes" ? request.changesFile
                           : option == "--message" ? request.messageFile
                           : option == "--full"    ? request.fullLink
                           : option == "--key"     ? request.keyFile
                                                   : request.dir;
      field = value;
    }
  }
  for (const char* needed : {"--version", "--changes", "--file", "--push", "--full"}) {
    if (!given.contains(needed)) return UsageError(std::string("page needs ") + needed);
  }
  if (given.contains("--key") != given.contains("--dir")) {
    return UsageError("--key and --dir go together: the key signs the listed files in the folder");
  }
  return request;
}

}  // namespace

std::variant<PageToolRequest, std::string> ParsePageToolArguments(std::span<const std::string> arguments) {
  if (!arguments.empty() && arguments[0] == "keygen") return ParseKeygen(arguments.subspan(1));
  if (!arguments.empty() && arguments[0] == "sign") return ParseSign(arguments.subspan(1));
  if (!arguments.empty() && arguments[0] == "page") return ParsePage(arguments.subspan(1));

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
