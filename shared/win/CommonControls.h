#pragma once
// Common controls 6 on demand. The note's process manifest leaves them out, so that an idle note does
// not carry the library; windows that show themed controls (message boxes, progress bars, buttons)
// are made inside this scope, which activates the program's second manifest (resource id 2) that
// asks for them.
#include <windows.h>
#include <commdlg.h>

namespace stickwell::win {

class CommonControlsScope {
 public:
  CommonControlsScope();
  ~CommonControlsScope();
  CommonControlsScope(const CommonControlsScope&) = delete;
  CommonControlsScope& operator=(const CommonControlsScope&) = delete;

 private:
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

// MessageBoxW with themed buttons.
int ThemedMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// GetOpenFileNameW with themed controls; the dialog library is loaded only when a dialog is asked for.
bool ThemedOpenFileDialog(OPENFILENAMEW& dialog);

}  // namespace stickwell::win
