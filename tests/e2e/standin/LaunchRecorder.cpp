// Stands in for the updater in the update-check tests: records how it was started, into
// "launched.txt" beside itself (UTF-8: the command line, the show state, the working folder, one a
// line), and ends.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring folder(path, length);
  folder.resize(folder.find_last_of(L'\\') + 1);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  ::GetStartupInfoW(&startup);
  const int showState = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  wchar_t current[MAX_PATH * 2];
  const DWORD currentLength = ::GetCurrentDirectoryW(static_cast<DWORD>(std::size(current)), current);

  const std::string record = Utf8(::GetCommandLineW()) + "\n" + std::to_string(showState) + "\n" +
                             Utf8(std::wstring(current, currentLength)) + "\n";
  // Written under another name first, so a test never reads half a record.
  const std::wstring partial = folder + L"launched.partial", done = folder + L"launched.txt";
  HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  ::WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  ::CloseHandle(file);
  return ::MoveFileW(partial.c_str(), done.c_str()) ? 0 : 1;
}
