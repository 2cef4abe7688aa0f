#include "note/win/PushTrigger.h"

#include "BuildConfig.h"
#include "shared/PushMessage.h"
#include "shared/Text.h"
#include "shared/win/Connection.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/UpdatePageFetch.h"
#include "shared/win/WideText.h"

namespace stickwell::note {

void PushTrigger::start(HWND note) {
  note_ = note;
  // Asks for the connection first, on the worker too: nothing on this path may hold up the note.
  page_.start(note_, kPushPageArrived, win::FetchUpdatePage);
}

void PushTrigger::onPage() {
  const auto answer = page_.take();
  if (!answer) return;
  // Not connected: no push this run. A failed fetch reads as an empty page: the push stays off.
  if (answer->status == win::FetchStatus::NotConnected) return;
  const page::PushSettings settings = page::ReadPushSettings(Utf8ToText(answer->body));
  pushOn_ = settings.on;
  pushMessage_ = settings.message;
  if (pushOn_ && !::SetTimer(note_, kPushTimerId, config::kPushIntervalMs, nullptr))
    win::TraceLastError({L"SetTimer message push"});
}

void PushTrigger::onTimer2() {
  if (!counter_.tick(pushOn_)) return;
  dialog_.show(note_, win::Wide(page::PushDialogText(win::IsConnected(), pushMessage_)), [this] { stopTimer2(); });
}

void PushTrigger::stopTimer2() { ::KillTimer(note_, kPushTimerId); }

bool PushTrigger::handleMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message == kPushPageArrived) {
    onPage();
    return true;
  }
  if (message == WM_TIMER && wParam == kPushTimerId) {
    onTimer2();
    return true;
  }
  return false;
}

}  // namespace stickwell::note
