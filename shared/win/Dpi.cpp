#include "shared/win/Dpi.h"

#include "shared/Twips.h"

namespace stickwell::win {

unsigned WindowDpi(HWND window) {
  const UINT dpi = window ? ::GetDpiForWindow(window) : 0;
  if (dpi != 0) return dpi;
  HDC screen = ::GetDC(nullptr);
  const int systemDpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return systemDpi > 0 ? static_cast<unsigned>(systemDpi) : 96u;
}

int TwipsToPixels(HWND window, double twips) { return stickwell::TwipsToPixels(twips, WindowDpi(window)); }
float PixelsToTwips(HWND window, int pixels) { return stickwell::PixelsToTwips(pixels, WindowDpi(window)); }

}  // namespace stickwell::win
