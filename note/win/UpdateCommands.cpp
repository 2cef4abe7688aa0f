// The two update commands of the note's popup menu.
#include "note/win/NoteWindow.h"
#include "shared/win/Launch.h"

namespace stickwell::note {

// "检查更新": the check runs in its own modeless window; picked again while that window is open, it
// leaves that check alone and starts no second one.
void NoteWindow::checkForUpdates() { updateCheck_.open(hwnd()); }

// "官方网站": the official site is the update page itself, opened in the user's browser.
void NoteWindow::openOfficialSite() { win::OpenOfficialSite(); }

}  // namespace stickwell::note
