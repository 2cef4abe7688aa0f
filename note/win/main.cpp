#include <windows.h>

#include "note/win/NoteWindow.h"
#include "shared/win/InstallRecovery.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  // An update that was interrupted is finished before anything else (never by replacing this program's
  // own running file: where that would be needed, the update goes back).
  stickwell::win::FinishInterruptedInstall();
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
