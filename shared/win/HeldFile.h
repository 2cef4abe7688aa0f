#pragma once
// Another program often holds a file for a moment: a virus scanner or the search indexer opens every
// new file, a sync client or a backup tool reads a changed one, usually without letting anyone delete
// or replace it meanwhile. Moves, deletes and links of such a file fail with "sharing violation" or
// "access denied" for a few hundred milliseconds; trying again a little later is all it takes.
#include <windows.h>

namespace stickwell::win {

// Whether a failed file operation may succeed once another program lets go of the file.
inline bool IsHeldFileError(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// Runs `attempt` (true on success; on failure the thread's last error says why) until it succeeds, fails
// for any other reason than a held file, or `budgetMs` have passed, pausing `pauseMs` between tries.
// The last error of the last try stays set for the caller's trace.
template <class Attempt>
bool RetryWhileHeld(Attempt&& attempt, DWORD budgetMs, DWORD pauseMs = 50) {
  const ULONGLONG started = ::GetTickCount64();
  for (;;) {
    if (attempt()) return true;
    const DWORD error = ::GetLastError();
    if (!IsHeldFileError(error) || ::GetTickCount64() - started + pauseMs > budgetMs) return false;
    ::Sleep(pauseMs);
  }
}

}  // namespace stickwell::win
