#pragma once
// Every wait in the end-to-end tests is a wait for a condition, with a limit: a test never hangs, and
// never depends on how fast the machine is. Waits pump this thread's messages, so windows the test
// itself owns stay alive.
#include <windows.h>

#include <functional>

namespace e2e {

// Polls `done` until it returns true or `timeoutMs` passes; returns the last answer.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000, DWORD pollMs = 20) {
  for (const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;; ::MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT)) {
    if (done()) return true;
    if (::GetTickCount64() >= deadline) return done();
    for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageW(&message);
  }
}

// Lets `ms` pass while pumping messages: only where a test must see that something does NOT happen.
inline void Pause(DWORD ms) {
  const ULONGLONG deadline = ::GetTickCount64() + ms;
  WaitUntil([&] { return ::GetTickCount64() >= deadline; }, ms + 1000, 10);
}

}  // namespace e2e
