#include "shared/win/InstallRecovery.h"

#include "shared/InstallNames.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/InstallFolder.h"
#include "shared/win/Launch.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/WideText.h"

namespace stickwell::win {
namespace {

constexpr wchar_t kInstallMutex[] = L"Local\\Stickwell.Install";
// A note that has just started its new file holds the lock while it ends; the recovery waits at most
// this long for another program's.
constexpr DWORD kNoteLockWaitMs = 5000;

}  // namespace

InstallLock::InstallLock(DWORD timeoutMs) : mutex_(::CreateMutexW(nullptr, FALSE, kInstallMutex)) {
  if (!mutex_) {
    TraceLastError({L"CreateMutexW ", kInstallMutex});
    return;
  }
  const DWORD waited = ::WaitForSingleObject(mutex_.get(), timeoutMs);
  // An owner that ended without letting go (killed) leaves the lock to us all the same.
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  if (!held_) TraceError(waited == WAIT_TIMEOUT ? WAIT_TIMEOUT : ::GetLastError(), {L"waiting for ", kInstallMutex});
}

InstallLock::~InstallLock() {
  if (held_) ::ReleaseMutex(mutex_.get());
}

bool FinishInterruptedInstall(const InstallLock* held) {
  const std::wstring journal = InProgramFolder(Wide(install::kJournalName));
  if (::GetFileAttributesW(journal.c_str()) == INVALID_FILE_ATTRIBUTES) return false;

  std::optional<InstallLock> own;
  if (!held) {
    // An updater at work: the journal and the staged files are its own.
    if (UniqueHandle updater(::OpenMutexW(SYNCHRONIZE, FALSE, kUpdaterRunningMutex)); updater) return false;
    held = &own.emplace(kNoteLockWaitMs);
  }
  if (!held->held()) return false;
  InstallFolder folder(ProgramFolder());
  // Another program may have finished the job while this one waited for the lock.
  if (!folder.length(install::kJournalName)) return false;
  const install::Result result = install::Recover(folder);
  if (result.outcome == install::Outcome::Unfinished)
    TraceError(ERROR_RETRY, {L"an interrupted install is left for the next start: ", journal});
  return result.restartProgram;
}

int RestartOwnProgram() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  return !path.empty() && LaunchProgram(path) ? 0 : 1;
}

}  // namespace stickwell::win
