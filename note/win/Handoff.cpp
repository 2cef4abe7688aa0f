#include "note/win/Handoff.h"

#include <windows.h>

#include <string>

#include "shared/win/AtomicFile.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/Window.h"

namespace stickwell::note {
namespace {

// Both windows of the updater, the offer and the download, carry this caption.
constexpr wchar_t kUpdaterCaption[] = L"Stickwell 更新程序";

bool UpdaterWindowOpen() { return ::FindWindowW(win::kFormClass, kUpdaterCaption) != nullptr; }

const std::wstring& OldCopy() {
  static const std::wstring path = win::InProgramFolder(L"Renewick.exe");
  return path;
}

const std::wstring& NewCopy() {
  static const std::wstring path = win::InProgramFolder(L"NewRenewick.exe");
  return path;
}

}  // namespace

void Handoff::onTick(std::uint64_t nowMs) {
  if (schedule_.due(nowMs)) {
    // One move, replacing the old file: at every moment the folder holds a whole updater, the old one
    // or the new one. While the old file is still in use the move fails and leaves both; a later tick
    // finds them again and tries once more.
    win::MoveOver(NewCopy(), OldCopy());
    schedule_.finished();
    return;
  }
  if (schedule_.waiting()) return;
  // The file first: looking for a window asks the window system, every tick; the file is rarely there.
  if (!win::FileExists(NewCopy()) || UpdaterWindowOpen()) return;
  start(nowMs);
}

void Handoff::start(std::uint64_t nowMs) {
  schedule_.start({UpdaterWindowOpen(), win::FileExists(NewCopy()), win::FileExists(OldCopy())}, nowMs);
}

}  // namespace stickwell::note
