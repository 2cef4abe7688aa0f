#pragma once
// The first thing both programs do: finish an update that a crash, a kill or a power cut interrupted
// (see shared/Install.h), before any window shows.
//
//   Stickwell.exe:  win::FinishInterruptedInstall();
//   Renewick.exe:   win::InstallLock lock(...);  win::FinishInterruptedInstall(&lock);
#include <windows.h>

#include "shared/win/WinHandles.h"

namespace stickwell::win {

// Held by whichever program works on an update's files: the updater from its start to its countdown, a
// starting note while it finishes an interrupted install, a note while it hands a new updater over. It
// is the lock file of shared/InstallNames.h, open and shared with nobody, so every session of the
// machine and every machine sharing the folder sees it; the system lets go of it with the process
// however that ends, and the file goes with the last handle.
class InstallLock {
 public:
  // Waits up to `timeoutMs` for the lock (0: one try).
  explicit InstallLock(DWORD timeoutMs);
  InstallLock(const InstallLock&) = delete;
  InstallLock& operator=(const InstallLock&) = delete;
  bool held() const { return static_cast<bool>(file_); }
  // Lets go before the lock's life ends.
  void release() { file_.reset(); }

 private:
  UniqueHandle file_;
};

// Finishes the job an interrupted install left in the program folder, if any. With no journal it costs
// one attribute query and nothing else. `held`: the caller's lock (the updater); without one, the lock
// is waited for (a few seconds at most), and nothing is done while another program holds it.
void FinishInterruptedInstall(const InstallLock* held = nullptr);

}  // namespace stickwell::win
