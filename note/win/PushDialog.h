#pragma once
// The message-push dialog, Dialog: the pushed message in a box with a scroll bar, "确定" to close it
// and "知道了，不再提醒" to stop the push timer as well. Modeless: the note stays usable beside it.
#include <windows.h>

#include <functional>
#include <string>

namespace stickwell::note {

class PushDialog {
 public:
  PushDialog() = default;
  ~PushDialog();
  PushDialog(const PushDialog&) = delete;
  PushDialog& operator=(const PushDialog&) = delete;

  // Shows the dialog over `owner` with `text` in its box. `stopReminding` runs when the user picks
  // "知道了，不再提醒". False when the dialog could not be made.
  bool show(HWND owner, const std::wstring& text, std::function<void()> stopReminding);
  bool isOpen() const { return dialog_ != nullptr; }

  // Tab, Enter and Esc in the dialog; true when `message` was the dialog's and has been handled.
  bool isDialogMessage(MSG& message);

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HWND dialog_ = nullptr;
  std::wstring text_;
  std::function<void()> stopReminding_;
};

}  // namespace stickwell::note
