#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// A started process; the handle is closed (not the process ended) on destruction.
class Process {
 public:
  Process() = default;
  Process(HANDLE handle, DWORD id) : handle_(handle), id_(id) {}
  ~Process();
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  explicit operator bool() const { return handle_ != nullptr; }
  DWORD id() const { return id_; }
  HANDLE handle() const { return handle_; }
  bool running() const;
  // Waits for the process to end; false when it is still running after the limit.
  bool waitForExit(DWORD timeoutMs) const;
  DWORD exitCode() const;
  void terminate() const;

 private:
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

// Starts `exe` with no arguments in its own folder, as a user's double-click would.
Process StartProgram(const std::wstring& exe, const std::wstring& arguments = L"");

// Ids of running processes whose executable lies in `folder`.
std::vector<DWORD> ProcessesIn(const std::wstring& folder);
bool IsProcessRunning(DWORD id);

// Ends every process whose executable lies in `folder` and waits until they are gone.
void EndProcessesIn(const std::wstring& folder);

}  // namespace e2e
