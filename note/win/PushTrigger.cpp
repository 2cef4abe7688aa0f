#include "note/win/PushTrigger.h"

#include "BuildConfig.h"
#include "note/win/UpdatePageAnswer.h"
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
  const PageAnswer pageAnswer = AnswerOf(answer->status);
  const std::u16string page = pageAnswer == PageAnswer::Arrived ? Utf8ToText(answer->body) : std::u16string();
  if (push_.pageArrived(pageAnswer, page) && !::SetTimer(note_, kPushTimerId, config::kPushIntervalMs, nullptr))
    win::TraceLastError({L"SetTimer message push"});
}

void PushTrigger::onPushTimer() {
  if (!push_.tick()) return;
  dialog_.show(note_, win::Wide(push_.dialogText(win::IsConnected())), [this] { stopReminding(); });
}

void PushTrigger::stopReminding() {
  push_.stopReminding();
  ::KillTimer(note_, kPushTimerId);
}

bool PushTrigger::handleMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message == kPushPageArrived) {
    onPage();
    return true;
  }
  if (message == WM_TIMER && wParam == kPushTimerId) {
    onPushTimer();
    return true;
  }
  return false;
}

}  // namespace stickwell::note
