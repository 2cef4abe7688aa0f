#pragma once
// The note's update commands as a user picks them from its popup menu, and what the test build of the
// note tells about its push timer.
#include <windows.h>

namespace e2e {

enum class MenuCommand { CheckForUpdates, OfficialSite };

// Right-clicks the note's title and picks the command from the menu that opens; false when no menu
// showed or it did not close.
bool PickMenuCommand(HWND note, MenuCommand command);

// How many ticks of its push timer the note has received so far; -1 when it does not answer.
long long PushTimerTicks(HWND note);

}  // namespace e2e
