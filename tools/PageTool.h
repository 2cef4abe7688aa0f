#pragma once
// The command line of stickwell-page, apart from the file and console I/O of each platform.
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace stickwell::page {

inline constexpr std::string_view kPageToolUsage =
    "usage: stickwell-page [--json] FILE | stickwell-page --share [--json] FILE";

struct PageToolRequest {
  bool sharePage = false;  // --share: the file is a share page, not the update page
  bool json = false;       // --json: one JSON object instead of the summary for a person
  std::string file;        // UTF-8
};

// The arguments after the program name. A usage error comes back as the one line to print for it.
std::variant<PageToolRequest, std::string> ParsePageToolArguments(std::span<const std::string> arguments);

// What to print for the file's raw bytes, which are decoded as the programs decode a response.
std::string PageToolOutput(const PageToolRequest& request, std::string_view fileBytes);

}  // namespace stickwell::page
