#include "note/win/NoteWindow.h"

namespace stickwell::note {

// The popup menu's 检查更新 and 官方网站: they arrive with the update-check window.
void NoteWindow::checkForUpdates() {}
void NoteWindow::openOfficialSite() {}

}  // namespace stickwell::note
