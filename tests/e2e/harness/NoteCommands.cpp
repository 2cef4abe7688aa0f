#include "harness/NoteCommands.h"

#include <vector>

#include "harness/NoteUi.h"
#include "harness/PopupMenu.h"
#include "harness/WindowFinder.h"
#include "note/win/ControlIds.h"
#include "note/win/TestProbe.h"

namespace e2e {

bool PickMenuCommand(HWND note, MenuCommand command) {
  using namespace stickwell::note;
  // The title row, above the body's frame.
  const RECT title = WindowRectOf(NoteControl(note, kTitleId));
  const POINT at{(title.left + title.right) / 2, (title.top + WindowRectOf(NoteControl(note, kBodyFrameId)).top) / 2};
  // The two commands are the last items of the menu, after 打开, 锁定, 清空, the separator and the
  // three submenus: the first Down selects the first item, the separator is passed over.
  std::vector<WORD> keys(command == MenuCommand::CheckForUpdates ? 7 : 8, VK_DOWN);
  keys.push_back(VK_RETURN);
  return WalkMenu(ProcessOf(note), at, keys);
}

long long PushTimerTicks(HWND note) {
  static const UINT message = ::RegisterWindowMessageW(stickwell::note::probe::kPushTimerTicksMessage);
  DWORD_PTR ticks = 0;
  if (!::SendMessageTimeoutW(note, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &ticks)) return -1;
  return static_cast<long long>(ticks);
}

}  // namespace e2e
