#include "harness/NoteCommands.h"

#include "note/win/TestProbe.h"

namespace e2e {

namespace probe = stickwell::note::probe;

void PickMenuCommand(HWND note, MenuCommand command) {
  // Until the note has its popup menu, the test build of the note runs the command on a probe message.
  static const UINT message = ::RegisterWindowMessageW(probe::kMenuCommandMessage);
  ::PostMessageW(note, message,
                 command == MenuCommand::CheckForUpdates ? probe::kCheckForUpdates : probe::kOpenOfficialSite, 0);
}

long long PushTimerTicks(HWND note) {
  static const UINT message = ::RegisterWindowMessageW(probe::kTimer2TicksMessage);
  DWORD_PTR ticks = 0;
  if (!::SendMessageTimeoutW(note, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &ticks)) return -1;
  return static_cast<long long>(ticks);
}

}  // namespace e2e
