#pragma once
// What both updater windows share: their caption, the program's end with its last window, fonts.
#include <windows.h>

#include "shared/win/WinHandles.h"

namespace stickwell::updater {

// Both windows carry this caption: while one is open the note program leaves the updater's files alone.
inline constexpr wchar_t kUpdaterCaption[] = L"Stickwell 更新程序";

// The updater ends when its last window has gone.
void FormOpened();
void FormClosed();

// A font at `points` for the window's DPI.
win::UniqueFont MakeFont(HWND window, const wchar_t* face, double points, bool bold = false,
                         BYTE charset = DEFAULT_CHARSET);

// Asks whether to fetch the program from the official site after a failed update, opens it on Yes.
// The caller ends the updater afterwards.
void AskToOpenSiteAfterFailure(HWND owner);

}  // namespace stickwell::updater
