#include "shared/win/Launch.h"

#include <windows.h>

#include "BuildConfig.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/WideText.h"
#include "shared/win/WinHandles.h"

namespace stickwell::win {

bool LaunchProgram(const std::wstring& path) {
  // The new process would otherwise see "\\?\" in its own name and command line.
  const std::wstring exePath = WithoutLongPrefix(path);
  std::wstring commandLine = L"\"" + exePath + L"\"";  // CreateProcessW may write into it
  std::wstring folder = exePath;
  const size_t slash = folder.find_last_of(L"\\/");
  folder = slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
  // A current folder longer than the system's limit fails the whole call: the program then starts in
  // ours, which it does not depend on.
  if (folder.size() >= MAX_PATH) folder.clear();

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    TraceLastError({L"CreateProcessW ", exePath});
    return false;
  }
  UniqueHandle thread(process.hThread);
  UniqueHandle handle(process.hProcess);
  return true;
}

bool OpenWebPage(const std::wstring& address) {
  // shell32 and the DLLs it pulls in are loaded only when a page is opened: linked in, they would
  // cost every start of a note time and memory for a command that is rarely used.
  HMODULE shell = ::LoadLibraryW(L"shell32.dll");
  if (!shell) {
    TraceLastError({L"LoadLibraryW shell32.dll"});
    return false;
  }
  using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  const auto shellExecute =
      reinterpret_cast<ShellExecuteFunction>(reinterpret_cast<void*>(::GetProcAddress(shell, "ShellExecuteW")));
  if (!shellExecute) {
    TraceLastError({L"GetProcAddress ShellExecuteW"});
    return false;
  }
  const auto result =
      reinterpret_cast<INT_PTR>(shellExecute(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  // Its answer is the error: 2 the file or the program for it was not found, 5 access denied, ...
  TraceError(static_cast<DWORD>(result), {L"ShellExecuteW open ", address});
  return false;
}

bool OpenOfficialSite() { return OpenWebPage(Wide(config::kUpdatePageUrl)); }

}  // namespace stickwell::win
