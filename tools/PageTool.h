#pragma once
// The command line of stickwell-page, apart from the file and console I/O of each platform.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "shared/Manifest.h"

namespace stickwell::page {

inline constexpr std::string_view kPageToolUsage =
    "usage: stickwell-page [--json] [--public-key KEY] FILE | stickwell-page --share [--json] FILE | "
    "stickwell-page keygen KEYFILE | stickwell-page sign --key KEYFILE --version V FILE... | "
    "stickwell-page page --version V --changes FILE --file NAME=LINK... --push 开|关 [--message FILE] "
    "--full LINK [--key KEYFILE --dir DIR]";

enum class PageCommand {
  Report,  // what each program reads from a page
  Keygen,  // a new signing key
  Sign,    // the signed paragraph for a release
  Page,    // the whole update page, from its parts
};

struct PageToolRequest {
  PageCommand command = PageCommand::Report;
  bool sharePage = false;  // --share: the file is a share page, not the update page
  bool json = false;       // --json: one JSON object instead of the summary for a person
  std::optional<manifest::PublicKey> publicKey;  // --public-key: check the page's signature with it
  std::string file;        // UTF-8: the page, or the key file keygen writes
  std::string keyFile;     // sign --key, page --key
  std::u16string version;  // sign --version, page --version: "13.04.21"
  std::vector<std::string> files;  // sign: the release's files
  // page: the change log and the message as text files, a paragraph a line ("" for no message), each
  // file's name and share link in page order, the push switch, the complete package's link, and the
  // folder that holds the listed files for signing.
  std::string changesFile;
  std::string messageFile;
  std::vector<std::pair<std::string, std::string>> listed;
  bool pushOn = false;
  std::string fullLink;
  std::string dir;
};

// The arguments after the program name. A usage error comes back as the one line to print for it.
std::variant<PageToolRequest, std::string> ParsePageToolArguments(std::span<const std::string> arguments);

// What to print for the file's raw bytes, which are decoded as the programs decode a response. `verify`
// checks the page's signature when a public key was given.
using VerifyFunction =
    bool (*)(const manifest::PublicKey& key, std::string_view message, const manifest::Signature& signature);
std::string PageToolOutput(const PageToolRequest& request, std::string_view fileBytes, VerifyFunction verify);

}  // namespace stickwell::page
