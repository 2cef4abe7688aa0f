// libFuzzer target over the makers' report: any bytes as an update page and as a share page, through
// what stickwell-page prints for scripts and for people. The report reads every field again and says
// why one cannot be read; it must never fail whatever the page holds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/Require.h"
#include "shared/Text.h"
#include "tools/PageReport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace stickwell::page;
  const std::u16string page = stickwell::Utf8ToText(std::string_view(reinterpret_cast<const char*>(data), size));
  // Each input is one run of the tool, in one of its four modes, and for an update page half of them
  // with a signature that verifies.
  const bool verifies = size / 4 % 2 == 0;
  const auto check = [verifies](std::string_view, const stickwell::manifest::Signature&) { return verifies; };
  switch (size % 4) {
    case 0: {
      const std::string json = UpdatePageJson(page, check);
      stickwell::fuzz::Require(!json.empty() && json.front() == '{' && json.back() == '\n');
      break;
    }
    case 1: (void)UpdatePageSummary(page, check); break;
    case 2: (void)SharePageJson(page); break;
    default: (void)SharePageSummary(page); break;
  }
  return 0;
}
