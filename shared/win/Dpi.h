#pragma once
#include <windows.h>

namespace stickwell::win {

// The DPI the window is shown at (96 at 100 % scaling).
unsigned WindowDpi(HWND window);

int TwipsToPixels(HWND window, double twips);
float PixelsToTwips(HWND window, int pixels);

}  // namespace stickwell::win
