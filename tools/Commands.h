#pragma once
// What each of stickwell-page's commands does with the files it is given.
#include <optional>
#include <string>

#include "tools/PageTool.h"

namespace stickwell::page {

struct CommandResult {
  std::string output;                // for stdout
  std::optional<std::string> error;  // the one line for stderr, without the program's name
};

// The report on a page or share page.
CommandResult RunReport(const PageToolRequest& request);
// A new key into a file that does not exist yet; the output is its public key as one base64 line.
CommandResult RunKeygen(const PageToolRequest& request);
// The paragraph that signs the release made of the given files.
CommandResult RunSign(const PageToolRequest& request);
// The update page from its parts, signed when a key is given.
CommandResult RunPage(const PageToolRequest& request);

}  // namespace stickwell::page
