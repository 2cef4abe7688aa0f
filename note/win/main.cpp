#include <windows.h>

#include "note/win/NoteWindow.h"
#include "shared/win/InstallRecovery.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  // An update that was interrupted is finished before anything else; when that put a new file under
  // this program's own name, the new file runs instead of this one.
  if (stickwell::win::FinishInterruptedInstall()) return stickwell::win::RestartOwnProgram();
  stickwell::note::NoteWindow note;
  if (!note.open(showCommand)) return 1;
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (note.beforeDispatch(message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
