#include "harness/Process.h"

#include <tlhelp32.h>

#include <vector>

#include "harness/Wait.h"

namespace e2e {

Process::~Process() {
  if (handle_) ::CloseHandle(handle_);
}

Process::Process(Process&& other) noexcept : handle_(other.handle_), id_(other.id_) {
  other.handle_ = nullptr;
  other.id_ = 0;
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    if (handle_) ::CloseHandle(handle_);
    handle_ = other.handle_;
    id_ = other.id_;
    other.handle_ = nullptr;
    other.id_ = 0;
  }
  return *this;
}

bool Process::running() const { return handle_ && ::WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }

bool Process::waitForExit(DWORD timeoutMs) const {
  return !handle_ || WaitUntil([&] { return !running(); }, timeoutMs);
}

DWORD Process::exitCode() const {
  DWORD code = STILL_ACTIVE;
  if (handle_) ::GetExitCodeProcess(handle_, &code);
  return code;
}

void Process::terminate() const {
  if (running()) {
    ::TerminateProcess(handle_, 99);
    ::WaitForSingleObject(handle_, 10000);
  }
}

Process StartProgram(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info))
    return {};
  ::CloseHandle(info.hThread);
  return Process(info.hProcess, info.dwProcessId);
}

namespace {

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder) {
  return path.size() > folder.size() && ::CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()),
                                                               folder.c_str(), static_cast<int>(folder.size()),
                                                               TRUE) == CSTR_EQUAL;
}

}  // namespace

std::vector<DWORD> ProcessesIn(const std::wstring& folder) {
  std::vector<DWORD> ids;
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
    if (!process) continue;
    wchar_t path[MAX_PATH * 2];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (::QueryFullProcessImageNameW(process, 0, path, &size) && StartsWithFolder(path, folder))
      ids.push_back(entry.th32ProcessID);
    ::CloseHandle(process);
  }
  ::CloseHandle(snapshot);
  return ids;
}

bool IsProcessRunning(DWORD id) {
  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, id);
  if (!process) return false;
  const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  ::CloseHandle(process);
  return running;
}

void EndProcessesIn(const std::wstring& folder) {
  for (int round = 0; round < 3; ++round) {
    const auto ids = ProcessesIn(folder);
    if (ids.empty()) return;
    for (DWORD id : ids) {
      HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
      if (!process) continue;
      ::TerminateProcess(process, 98);
      ::WaitForSingleObject(process, 5000);
      ::CloseHandle(process);
    }
  }
}

}  // namespace e2e
