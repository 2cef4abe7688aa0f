#pragma once
// Processes, program folders and files, as the tests see them from outside the programs.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "harness/Wait.h"

namespace e2e {

// A started process; the handle is closed (not the process ended) when the last copy goes.
struct Process {
  std::shared_ptr<void> handle;
  DWORD id = 0;
  bool running() const { return handle && ::WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT; }
  // False when the process still runs after the limit.
  bool waitForExit(DWORD timeoutMs = 10000) const { return WaitUntil([&] { return !running(); }, timeoutMs); }
  void terminate() const { ::TerminateProcess(handle.get(), 99), waitForExit(); }
};

// Starts `exe` with no arguments, in its own folder and with its window as it asks, as a double-click does.
inline Process StartProgram(const std::wstring& exe) {
  STARTUPINFOW startup{};
  PROCESS_INFORMATION info{};
  startup.cb = sizeof startup;
  if (!::CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, exe.substr(0, exe.find_last_of(L'\\')).c_str(), &startup, &info))
    return {};
  ::CloseHandle(info.hThread);
  return {std::shared_ptr<void>(info.hProcess, &::CloseHandle), info.dwProcessId};
}

// The folder that holds the test binary and the programs under test.
inline std::wstring BuildBinFolder() {
  wchar_t path[MAX_PATH * 2];
  const std::wstring exe(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2));
  return exe.substr(0, exe.find_last_of(L'\\'));
}

// Names of the files (not folders) that match a pattern (L"C:\\folder\\*.txt"), sorted.
inline std::vector<std::wstring> FilesIn(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(search, &found))
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
  ::FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

// Ends every process whose executable lies in `folder` (ending in a backslash), and what those start
// meanwhile.
inline void EndProcessesIn(const std::wstring& folder, int rounds = 3) {
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
    wchar_t path[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    if (process && ::QueryFullProcessImageNameW(process, 0, path, &size) && ::_wcsnicmp(path, folder.c_str(), folder.size()) == 0)
      ::TerminateProcess(process, 98), ::WaitForSingleObject(process, 5000);
    if (process) ::CloseHandle(process);
  }
  ::CloseHandle(snapshot);
  if (rounds > 1) EndProcessesIn(folder, rounds - 1);
}

// A fresh program folder for one test: copies of the programs from the build in a new temporary
// folder. Every process started from it is ended, and the folder removed, when it goes.
class ProgramDir {
 public:
  // `from`: the build folder the programs come from (another build than the tests' own, for example).
  explicit ProgramDir(const std::vector<std::wstring>& programs = {L"Stickwell.exe", L"Renewick.exe"}, const std::wstring& from = BuildBinFolder()) {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    do {
      path_ = temp + (L"sw-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++));
    } while (!::CreateDirectoryW(path_.c_str(), nullptr));
    for (const auto& program : programs) ::CopyFileW((from + L"\\" + program).c_str(), file(program).c_str(), FALSE);
  }
  ~ProgramDir() {
    EndProcessesIn(path_ + L"\\");
    const std::wstring from = path_ + L'\0';  // a list of paths, ended by an empty one
    SHFILEOPSTRUCTW remove{nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI, FALSE, nullptr, nullptr};
    ::SHFileOperationW(&remove);
  }
  ProgramDir(const ProgramDir&) = delete;
  ProgramDir& operator=(const ProgramDir&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
  Process start(const std::wstring& program) const { return StartProgram(file(program)); }
  std::vector<std::wstring> files(const std::wstring& pattern) const { return FilesIn(file(pattern)); }

 private:
  std::wstring path_;
};

inline std::optional<std::string> ReadBytes(const std::wstring& path) {
  // Shared for deleting too: a program may replace the file while the test reads it.
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  for (DWORD read = 0; ::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0;) bytes.append(buffer, read);
  ::CloseHandle(file);
  return bytes;
}

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) & ::CloseHandle(file) && written == bytes.size();
}

inline bool FileExists(const std::wstring& path) {
  return (::GetFileAttributesW(path.c_str()) & (FILE_ATTRIBUTE_DIRECTORY | 0x80000000u /* none */)) == 0;
}

// Waits until the file holds exactly `expected`; the failure tells what it held.
inline ::testing::AssertionResult FileHolds(const std::wstring& path, const std::string& expected, DWORD timeoutMs = 3000) {
  std::optional<std::string> bytes;
  if (WaitUntil([&] { return (bytes = ReadBytes(path)) == expected; }, timeoutMs)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the file holds " << ::testing::PrintToString(bytes) << ", not " << ::testing::PrintToString(expected);
}

inline std::string Encode(UINT codePage, const std::wstring& text) {
  std::string bytes(text.size() * 4, '\0');
  bytes.resize(std::max(0, ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                                  static_cast<int>(bytes.size()), nullptr, nullptr)));
  return bytes;
}
inline std::string Utf8(const std::wstring& text) { return Encode(CP_UTF8, text); }
inline std::string Gbk(const std::wstring& text) { return Encode(936, text); }

// A Unix path named by an environment variable that scripts/e2e.sh sets, seen through Wine's Z: drive;
// empty when the variable is not set.
inline std::string UnixPathFromEnvironment(const char* variable) { return std::getenv(variable) ? std::getenv(variable) : ""; }
inline std::wstring WindowsPathOf(const std::string& unixPath) {
  std::wstring windowsPath = unixPath.empty() ? L"" : L"Z:";
  for (char c : unixPath) windowsPath += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  return windowsPath;
}
inline std::wstring PathFromEnvironment(const char* variable) { return WindowsPathOf(UnixPathFromEnvironment(variable)); }

// scripts/e2e.sh puts a stand-in browser on the PATH that logs every address the programs open, one a line.
inline std::string OpenedPages() { return ReadBytes(PathFromEnvironment("STICKWELL_E2E_BROWSER_LOG")).value_or(""); }
inline void ClearOpenedPages() { WriteBytes(PathFromEnvironment("STICKWELL_E2E_BROWSER_LOG"), {}); }
inline bool WaitForOpenedPage(const std::string& address) {
  return WaitUntil([&] { return OpenedPages().find(address + "\n") != std::string::npos; });
}

// Saves the screen as <bin>\screenshots\<name>.bmp for a person to look at (e2e.sh makes PNGs of them).
inline void SaveScreenshot(const std::wstring& name) {
  const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
  // A .bmp file: its header, the picture's header, and the rows bottom-up, as a DIB section holds them.
  const BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const DWORD size = static_cast<DWORD>((width * 3 + 3) & ~3) * height, offset = sizeof(BITMAPFILEHEADER) + sizeof info;
  const BITMAPFILEHEADER header{0x4D42, offset + size, 0, 0, offset};
  void* pixels = nullptr;
  HDC screen = ::GetDC(nullptr), memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  ::CreateDirectoryW((BuildBinFolder() + L"\\screenshots").c_str(), nullptr);
  WriteBytes(BuildBinFolder() + L"\\screenshots\\" + name + L".bmp", std::string(reinterpret_cast<const char*>(&header), sizeof header) +
                 std::string(reinterpret_cast<const char*>(&info), sizeof info) + std::string(static_cast<const char*>(pixels), size));
  ::DeleteObject(::SelectObject(memory, old));
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
}

// The Linux process behind a program started from `exe` under this Wine prefix, as its Z:\proc folder;
// empty when none runs. Wine answers zeros for a process's I/O counters (GetProcessIoCounters), so the
// tests read them where Linux keeps them. Other prefixes may run a program from a folder of that name.
inline std::wstring LinuxProcessOf(const std::wstring& exe) {
  wchar_t prefix[MAX_PATH] = L"";
  ::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
  const std::string command = Utf8(exe) + '\0', environment = std::string(1, '\0') + "WINEPREFIX=" + Utf8(prefix) + '\0';
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
  std::wstring process;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more && process.empty(); more = ::FindNextFileW(search, &found)) {
    const std::wstring folder = L"Z:\\proc\\" + std::wstring(found.cFileName);
    if (ReadBytes(folder + L"\\cmdline").value_or("").starts_with(command) &&
        ('\0' + ReadBytes(folder + L"\\environ").value_or("")).find(environment) != std::string::npos)
      process = folder;
  }
  ::FindClose(search);
  return process;
}

// A figure of that process from one of its files: LinuxFigure(process, L"io", "write_bytes:"); -1 when missing.
inline long long LinuxFigure(const std::wstring& process, const wchar_t* file, const std::string& field) {
  const std::string text = ReadBytes(process + L"\\" + file).value_or("");
  const size_t at = text.find(field);
  return at == std::string::npos ? -1 : std::strtoll(text.c_str() + at + field.size(), nullptr, 10);
}

}  // namespace e2e
