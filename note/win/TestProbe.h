#pragma once
// Built into the end-to-end test build of the note only (STICKWELL_TEST_PROBES), never into the
// program users get: registered window messages through which the tests reach what a user cannot see.
#include <windows.h>

namespace stickwell::note::probe {

// Answers how many ticks of the push timer the note window has received so far: the tests see whether the
// push timer runs, and at which tick the message dialog opened.
inline constexpr wchar_t kPushTimerTicksMessage[] = L"Stickwell.TestProbe.PushTimerTicks";

// Switches a high-contrast theme on (wParam 1) or off (0) as if the system had, which Wine cannot; the
// note repaints in the colours the system has now. Answers 1.
inline constexpr wchar_t kHighContrastMessage[] = L"Stickwell.TestProbe.HighContrast";

// Sees every message of the note window first; true when it was a probe's (`answer` answers it).
bool HandleMessage(UINT message, WPARAM wParam, LRESULT& answer);

}  // namespace stickwell::note::probe
