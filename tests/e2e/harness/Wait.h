#pragma once
// Every wait in the end-to-end tests has a limit; a test never hangs.
#include <windows.h>

#include <functional>

namespace e2e {

// Polls `done` until it returns true or `timeoutMs` passes; returns the last answer.
// Keeps pumping this thread's messages so windows the test itself owns stay alive.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000, DWORD pollMs = 20);

// Sleeps while pumping this thread's messages.
void Pause(DWORD ms);

}  // namespace e2e
