#include "harness/Browser.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "harness/Files.h"
#include "harness/Wait.h"

namespace e2e {
namespace {

// The log's Unix path seen through Wine's Z: drive.
std::wstring LogPath() {
  const char* unixPath = std::getenv("STICKWELL_E2E_BROWSER_LOG");
  if (!unixPath || !*unixPath) return {};
  std::wstring path = L"Z:";
  for (const char* c = unixPath; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  return path;
}

}  // namespace

std::vector<std::string> OpenedPages() {
  std::vector<std::string> pages;
  const auto bytes = ReadBytes(LogPath());
  if (!bytes) return pages;
  size_t start = 0;
  while (start < bytes->size()) {
    size_t end = bytes->find('\n', start);
    if (end == std::string::npos) end = bytes->size();
    if (end > start) pages.push_back(bytes->substr(start, end - start));
    start = end + 1;
  }
  return pages;
}

void ClearOpenedPages() { WriteBytes(LogPath(), {}); }

bool WaitForOpenedPage(const std::string& address, unsigned timeoutMs) {
  return WaitUntil(
      [&] {
        const auto pages = OpenedPages();
        return std::find(pages.begin(), pages.end(), address) != pages.end();
      },
      timeoutMs);
}

}  // namespace e2e
