// stickwell-page: shows the makers what Stickwell and Renewick will read from an update page or a share
// page saved as a file, before they publish it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "tools/PageTool.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "shared/Text.h"
#include "tools/Utf8Out.h"
#endif

namespace {

// The whole file, or the reason it could not be read.
std::variant<std::string, std::string> ReadWholeFile(const std::string& path) {
#ifdef _WIN32
  const std::u16string widePath = stickwell::Utf8ToText(path);
  std::FILE* file = _wfopen(reinterpret_cast<const wchar_t*>(widePath.c_str()), L"rb");
#else
  std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
  if (!file) return std::variant<std::string, std::string>(std::in_place_index<1>, std::strerror(errno));
  std::string bytes;
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) return std::variant<std::string, std::string>(std::in_place_index<1>, std::strerror(error));
  return std::variant<std::string, std::string>(std::in_place_index<0>, std::move(bytes));
}

// UTF-8 out, whatever the console's code page: a console gets the text through the wide API, a pipe or a
// file gets the bytes unchanged.
void Write(std::FILE* stream, const std::string& utf8) {
#ifdef _WIN32
  const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    const std::u16string text = stickwell::Utf8ToText(utf8);
    DWORD written = 0;
    WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  _setmode(_fileno(stream), _O_BINARY);
#endif
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fflush(stream);
}

int Run(const std::vector<std::string>& arguments) {
  const auto parsed = stickwell::page::ParsePageToolArguments(arguments);
  if (const auto* usageError = std::get_if<std::string>(&parsed)) {
    Write(stderr, "stickwell-page: " + *usageError + "\n");
    return 2;
  }
  const auto& request = std::get<stickwell::page::PageToolRequest>(parsed);
  const auto file = ReadWholeFile(request.file);
  if (file.index() == 1) {
    Write(stderr, "stickwell-page: cannot read " + request.file + ": " + std::get<1>(file) + "\n");
    return 2;
  }
  Write(stdout, stickwell::page::PageToolOutput(request, std::get<0>(file)));
  return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.push_back(stickwell::page::TextToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
  }
  return Run(arguments);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
