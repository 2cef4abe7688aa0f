#pragma once
// The first thing both programs do: finish an update that a crash or a kill interrupted (see
// shared/Install.h), before any window shows.
//
//   Stickwell.exe:  if (win::FinishInterruptedInstall()) return win::RestartOwnProgram();
//   Renewick.exe:   win::InstallLock lock(...);  win::FinishInterruptedInstall(&lock);
#include <windows.h>

#include "shared/win/WinHandles.h"

namespace stickwell::win {

// The updater holds this from its start to its end; while it exists, a note leaves the update's files
// alone.
inline constexpr wchar_t kUpdaterRunningMutex[] = L"Local\\Stickwell.Renewick.Running";

// Held by whichever program works on an update's files: the updater for its whole run, a starting note
// only while it finishes an interrupted install.
class InstallLock {
 public:
  // Waits up to `timeoutMs` for the lock.
  explicit InstallLock(DWORD timeoutMs);
  ~InstallLock();
  InstallLock(const InstallLock&) = delete;
  InstallLock& operator=(const InstallLock&) = delete;
  bool held() const { return held_; }

 private:
  UniqueHandle mutex_;
  bool held_ = false;
};

// Finishes the job an interrupted install left in the program folder, if any. With no journal it costs
// one attribute query and nothing else. `held`: the caller's lock (the updater); without one, the lock
// is taken for the recovery, and nothing is done while an updater runs. True when the program's own
// file was renamed out of the way of another: the caller must start its file anew and end at once.
bool FinishInterruptedInstall(const InstallLock* held = nullptr);

// Starts this program's file anew (after FinishInterruptedInstall answered true); returns the exit code.
int RestartOwnProgram();

}  // namespace stickwell::win
