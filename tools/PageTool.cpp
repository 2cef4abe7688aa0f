#include "tools/PageTool.h"

#include "shared/Text.h"
#include "tools/PageReport.h"

namespace stickwell::page {

std::variant<PageToolRequest, std::string> ParsePageToolArguments(std::span<const std::string> arguments) {
  PageToolRequest request;
  bool haveFile = false;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (!optionsEnded && argument == "--json") {
      request.json = true;
    } else if (!optionsEnded && argument == "--share") {
      request.sharePage = true;
    } else if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      return "unknown option " + argument + "; " + std::string(kPageToolUsage);
    } else if (haveFile) {
      return "more than one file; " + std::string(kPageToolUsage);
    } else {
      request.file = argument;
      haveFile = true;
    }
  }
  if (!haveFile) return "no file given; " + std::string(kPageToolUsage);
  return request;
}

std::string PageToolOutput(const PageToolRequest& request, std::string_view fileBytes) {
  const std::u16string page = Utf8ToText(fileBytes);
  if (request.sharePage) return request.json ? SharePageJson(page) : SharePageSummary(page);
  return request.json ? UpdatePageJson(page) : UpdatePageSummary(page);
}

}  // namespace stickwell::page
