#include "shared/win/InstallRecovery.h"

#include <optional>

#include "shared/InstallNames.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/HeldFile.h"
#include "shared/win/InstallFolder.h"
#include "shared/win/ProgramFolder.h"

namespace stickwell::win {
namespace {

// An updater holds the lock through its whole install, which waits up to two seconds for each file
// another program holds; a starting note waits that long at most before it goes on without finishing
// the job, which is then left to the next start.
constexpr DWORD kNoteLockWaitMs = 10000;
constexpr DWORD kLockPauseMs = 50;

}  // namespace

InstallLock::InstallLock(DWORD timeoutMs) {
  const std::wstring path = InstallFolder::PathIn(ProgramFolder(), install::kLockName);
  const auto take = [&] {
    file_.reset(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (file_) return true;
    // A folder that refuses new files answers "access denied" too, but has no lock file to wait for:
    // the failed look-up leaves "file not found", which ends the waiting.
    const DWORD error = ::GetLastError();
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) ::SetLastError(error);
    return false;
  };
  if (!RetryWhileHeld(take, timeoutMs, kLockPauseMs)) TraceLastError({L"the install lock is not ours: ", path});
}

void FinishInterruptedInstall(const InstallLock* held) {
  const std::wstring journal = InstallFolder::PathIn(ProgramFolder(), install::kJournalName);
  if (::GetFileAttributesW(journal.c_str()) == INVALID_FILE_ATTRIBUTES) return;

  std::optional<InstallLock> own;
  if (!held) held = &own.emplace(kNoteLockWaitMs);
  // Another program at work on the update's files: the journal and the files it names are its own.
  if (!held->held()) return;
  InstallFolder folder(ProgramFolder());
  // Another program may have finished the job while this one waited for the lock.
  if (!folder.length(install::kJournalName)) return;
  switch (install::Recover(folder)) {
    case install::Outcome::Unfinished:
      TraceError(ERROR_RETRY, {L"an interrupted install is left for the next start: ", journal});
      break;
    case install::Outcome::LeftAlone:
      TraceError(ERROR_BAD_FORMAT, {L"the journal of a newer version is left alone, with its files: ", journal});
      break;
    case install::Outcome::Installed:
    case install::Outcome::RolledBack:
      break;
  }
}

}  // namespace stickwell::win
