#pragma once
// Built into the end-to-end test build of the note only (STICKWELL_TEST_PROBES), never into the
// program users get: registered window messages through which the tests reach what a user cannot see.
#include <windows.h>

namespace stickwell::note {

class NoteWindow;

namespace probe {

// Answers how many ticks of Timer2 the note window has received so far: the tests see whether the
// push timer runs, and at which tick the message dialog opened.
inline constexpr wchar_t kTimer2TicksMessage[] = L"Stickwell.TestProbe.Timer2Ticks";

// Runs a menu command of the note (wParam): the tests' way to the update commands while the popup
// menu is not part of the note yet.
inline constexpr wchar_t kMenuCommandMessage[] = L"Stickwell.TestProbe.MenuCommand";
inline constexpr WPARAM kCheckForUpdates = 1;
inline constexpr WPARAM kOpenOfficialSite = 2;

// Sees every message of the note window first; true when it was a probe's (`answer` answers it).
bool HandleMessage(NoteWindow& note, UINT message, WPARAM wParam, LRESULT& answer);

}  // namespace probe
}  // namespace stickwell::note
