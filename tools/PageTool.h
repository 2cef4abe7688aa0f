#pragma once
// The command line of stickwell-page, apart from the file and console I/O of each platform.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "shared/Manifest.h"

namespace stickwell::page {

inline constexpr std::string_view kPageToolUsage =
    "usage: stickwell-page [--json] [--public-key KEY] FILE | stickwell-page --share [--json] FILE | "
    "stickwell-page keygen KEYFILE | stickwell-page sign --key KEYFILE --version V FILE...";

enum class PageCommand {
  Report,  // what each program reads from a page
  Keygen,  // a new signing key
  Sign,    // the signed paragraph for a release
};

struct PageToolRequest {
  PageCommand command = PageCommand::Report;
  bool sharePage = false;  // --share: the file is a share page, not the update page
  bool json = false;       // --json: one JSON object instead of the summary for a person
  std::optional<manifest::PublicKey> publicKey;  // --public-key: check the page's signature with it
  std::string file;        // UTF-8: the page, or the key file keygen writes
  std::string keyFile;     // sign --key
  std::u16string version;  // sign --version, "13.04.21"
  std::vector<std::string> files;  // sign: the release's files
};

// The arguments after the program name. A usage error comes back as the one line to print for it.
std::variant<PageToolRequest, std::string> ParsePageToolArguments(std::span<const std::string> arguments);

// What to print for the file's raw bytes, which are decoded as the programs decode a response. `verify`
// checks the page's signature when a public key was given.
using VerifyFunction =
    bool (*)(const manifest::PublicKey& key, std::string_view message, const manifest::Signature& signature);
std::string PageToolOutput(const PageToolRequest& request, std::string_view fileBytes, VerifyFunction verify);

}  // namespace stickwell::page
