#pragma once
// The message push on the note window's side: right after start-up the update page is read once, on a
// worker thread; when its switch is on, the push timer ticks and its third tick opens the message dialog.
#include <windows.h>

#include <string>

#include "note/core/PushCounter.h"
#include "note/win/PushDialog.h"
#include "shared/win/AsyncCall.h"
#include "shared/win/HttpFetch.h"

namespace stickwell::note {

// The note window's push timer, and the message that brings the page's answer to it.
inline constexpr UINT_PTR kPushTimerId = 2;
inline constexpr UINT kPushPageArrived = WM_APP + 50;

class PushTrigger {
 public:
  // Starts reading the update page for `note`; the note keeps taking events meanwhile, whatever the
  // server does. Without a connection nothing is requested and the push timer stays stopped.
  void start(HWND note);

  // The note window's messages for the push: the page's answer and the push timer's ticks. True when handled.
  bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Keyboard navigation of the open dialog; true when `message` was the dialog's and has been handled.
  bool isDialogMessage(MSG& message) { return dialog_.isDialogMessage(message); }

 private:
  void onPage();
  void onTimer2();
  void stopTimer2();

  HWND note_ = nullptr;
  win::AsyncCall<win::FetchResult> page_;
  bool pushOn_ = false;        // the page's switch read "开"
  std::u16string pushMessage_;  // cleaned, "<p>" kept; empty when it could not be read
  PushCounter counter_;
  PushDialog dialog_;
};

}  // namespace stickwell::note
