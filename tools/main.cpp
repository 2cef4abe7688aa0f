// stickwell-page: shows the makers what Stickwell and Renewick will read from an update page or a share
// page saved as a file, before they publish it; makes their signing key, signs their releases and
// writes the page itself from its parts.
#include <string>
#include <variant>
#include <vector>

#include "shared/Text.h"
#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/PageTool.h"

namespace {

using namespace stickwell::page;

int Run(const std::vector<std::string>& arguments) {
  const auto parsed = ParsePageToolArguments(arguments);
  CommandResult result;
  if (const auto* usageError = std::get_if<std::string>(&parsed)) {
    result.error = *usageError;
  } else {
    const auto& request = std::get<PageToolRequest>(parsed);
    switch (request.command) {
      case PageCommand::Report: result = RunReport(request); break;
      case PageCommand::Keygen: result = RunKeygen(request); break;
      case PageCommand::Sign: result = RunSign(request); break;
      case PageCommand::Page: result = RunPage(request); break;
    }
  }
  if (result.error) {
    Write(stderr, "stickwell-page: " + *result.error + "\n");
    return 2;
  }
  Write(stdout, result.output);
  return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(stickwell::TextToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
  return Run(arguments);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
