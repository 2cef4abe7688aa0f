#include "note/win/NoteClosing.h"

#include <windows.h>

#include "note/win/ControlIds.h"
#include "note/win/NoteWindow.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/HeldFile.h"

namespace stickwell::note {
namespace {

// Five tries: the system gives a program a few seconds to answer the end of the session.
constexpr DWORD kSaveBudgetMs = 450;
constexpr DWORD kSavePauseMs = 100;

}  // namespace

bool SaveBeforeTheEnd(NoteWindow& note) {
  if (::IsWindowVisible(note.control(kTitleEditorId))) note.commitTitle();
  return win::RetryWhileHeld([&] { return note.saveNote(); }, kSaveBudgetMs, kSavePauseMs);
}

void CloseKeepingTheFile(NoteWindow& note) {
  // A note with nowhere to keep its file has said so at start-up; keeping it open would not save a word.
  if (!SaveBeforeTheEnd(note) && !note.store().savesNowhere()) {
    win::TraceLastError({L"saving before closing; the note stays open"});
    return;
  }
  ::DestroyWindow(note.hwnd());
}

}  // namespace stickwell::note
