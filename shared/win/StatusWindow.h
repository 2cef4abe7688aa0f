#pragma once
// What the note's update check and the updater's download window share: a small frameless window
// centred on the work area, whose pure-blue background is its transparent colour key, so that only a
// status line over a smooth progress bar shows on the desktop. Each window adds its own logic on top.
#include <string_view>

#include "shared/win/WinHandles.h"
#include "shared/win/Window.h"

namespace stickwell::win {

class StatusWindow : public Window {
 public:
  struct Look {
    const wchar_t* caption;
    BYTE alpha;              // kept as each window has it; with a colour key alone the system ignores it
    COLORREF statusColour;   // the status line's text
    int statusId;            // control ids of the status line and the bar
    int barId;
  };

  HWND bar() const { return bar_; }
  void setStatus(std::wstring_view text);

 protected:
  // Makes the window with its status line (empty) and its bar (at 0), centred and hidden, above
  // `owner` when given. False when the window could not be made.
  bool createStatusWindow(const Look& look, HWND owner);

  // Paints the blue background and the status line; derived windows pass on what they do not handle.
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  COLORREF statusColour_ = 0;
  UniqueBrush keyBrush_;
  UniqueFont statusFont_;
  HWND status_ = nullptr;
  HWND bar_ = nullptr;
};

}  // namespace stickwell::win
