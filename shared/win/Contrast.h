#pragma once
// High contrast: whether a high-contrast theme is on. Read when first asked and again whenever the
// system says its colours or its settings changed, so that the windows follow a theme switched on or
// off while they are open.
#include <windows.h>

#include "shared/win/Colour.h"

namespace stickwell::win {

bool HighContrast();

// Answers WM_SYSCOLORCHANGE and WM_SETTINGCHANGE of a top-level window: reads the theme again and
// repaints `window` with all its children when the colours may look different now.
void FollowSystemColours(HWND window, UINT message);

#ifdef STICKWELL_TEST_PROBES
// The end-to-end test build forces the theme on or off, which Wine cannot switch, and every window of
// the thread repaints.
void ForceHighContrast(bool on);
#endif

// What a label shows in a high-contrast theme, from the colours it was given (see Label::Look).
using ContrastChoice = Colours (*)(Colours chosen);

}  // namespace stickwell::win
