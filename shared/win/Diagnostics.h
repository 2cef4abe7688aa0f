#pragma once
// Traces of failures the programs step over: a save that did not reach the disk, a move refused
// because the file is in use, an exception stopped at a window procedure. The program goes on as
// before; the trace goes to the debugger channel (OutputDebugString; under Wine, WINEDEBUG=+debugstr
// prints it), so a run that went wrong explains itself:
//
//   Renewick: MoveFileExW C:\Stickwell\NewRenewick.exe -> C:\Stickwell\Renewick.exe failed (error 32)
//
// Call these only where something failed: they cost nothing on the paths where nothing does. They
// never throw and never allocate, so they are safe inside a catch block and at any barrier.
#include <windows.h>

#include <initializer_list>
#include <string_view>

namespace stickwell::win {

// Records that the operation described by the joined `what` failed with the system error `error` (or
// an NTSTATUS or HRESULT code).
void TraceError(DWORD error, std::initializer_list<std::wstring_view> what) noexcept;

// The same with the calling thread's last error: call it straight after the call that failed.
inline void TraceLastError(std::initializer_list<std::wstring_view> what) noexcept {
  TraceError(::GetLastError(), what);
}

// Records the exception being handled, with where it was stopped. Only inside a catch block.
void TraceException(std::initializer_list<std::wstring_view> where) noexcept;

// A number as hexadecimal text ("0x0113") to put into a trace; lives to the end of the statement.
class Hex {
 public:
  explicit Hex(unsigned long long value) noexcept;
  operator std::wstring_view() const noexcept { return {text_, length_}; }

 private:
  wchar_t text_[20];
  size_t length_ = 0;
};

}  // namespace stickwell::win
