#pragma once
// The note's menu commands as a test reaches them, and what the test build of the note tells about
// its push timer.
#include <windows.h>

namespace e2e {

enum class MenuCommand { CheckForUpdates, OfficialSite };

// Picks the command for the note, as the user does from its popup menu.
void PickMenuCommand(HWND note, MenuCommand command);

// How many ticks of its push timer the note has received so far; -1 when it does not answer.
long long PushTimerTicks(HWND note);

}  // namespace e2e
