#pragma once
// The message push on the note window's side (the decisions are MessagePush's): right after start-up
// the update page is read once, on a worker thread; when its switch is on, the push timer ticks and its
// third tick opens the message dialog.
#include <windows.h>

#include "note/core/MessagePush.h"
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

  // The note window's messages for the push: the page's answer and the push timer's ticks. True when
  // handled.
  bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Keyboard navigation of the open dialog; true when `message` was the dialog's and has been handled.
  bool isDialogMessage(MSG& message) { return dialog_.isDialogMessage(message); }

 private:
  void onPage();
  void onPushTimer();
  void stopReminding();

  HWND note_ = nullptr;
  win::AsyncCall<win::FetchResult> page_;
  MessagePush push_;
  PushDialog dialog_;
};

}  // namespace stickwell::note
