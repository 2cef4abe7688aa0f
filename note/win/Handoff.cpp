#include "note/win/Handoff.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "shared/Install.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/Background.h"
#include "shared/win/InstallFolder.h"
#include "shared/win/InstallRecovery.h"
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

// A move under way in the background (one note per process): no hand-off starts until it is over.
std::atomic<bool> moving{false};

// One move, replacing the old file: at every moment the folder holds a whole updater, the old one or
// the new one. A move that fails leaves both; a later tick finds them again and tries once more.
void MoveNewCopy() {
  struct Over {
    ~Over() { moving = false; }
  } over;
  // While another program works on the update's files (an updater of another session, a note
  // finishing an install), the new copy is left to a later tick.
  const win::InstallLock lock(0);
  if (!lock.held()) return;
  win::InstallFolder folder(win::ProgramFolder());
  install::HandOffUpdater(folder);
}

}  // namespace

void Handoff::onTick(std::uint64_t nowMs) {
  if (schedule_.due(nowMs)) {
    // In the background: an updater that is still ending, or a scanner, may hold a file for a moment,
    // and the move waits for it while the note goes on.
    moving = true;
    if (!win::RunInBackground(MoveNewCopy, L"handing the new updater over")) moving = false;
    schedule_.finished();
    return;
  }
  if (schedule_.waiting() || moving) return;
  // The file first: looking for a window asks the window system, every tick; the file is rarely there.
  if (!win::FileExists(NewCopy()) || UpdaterWindowOpen()) return;
  start(nowMs);
}

void Handoff::start(std::uint64_t nowMs) {
  schedule_.start({UpdaterWindowOpen(), win::FileExists(NewCopy()), win::FileExists(OldCopy())}, nowMs);
}

}  // namespace stickwell::note
