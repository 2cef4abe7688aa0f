#include "shared/win/Dpi.h"

#include "shared/Twips.h"
#include "shared/win/WinHandles.h"

namespace stickwell::win {

unsigned WindowDpi(HWND window) {
  const UINT dpi = window ? ::GetDpiForWindow(window) : 0;
  if (dpi != 0) return dpi;
  const WindowDc screen(nullptr);
  const int systemDpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return systemDpi > 0 ? static_cast<unsigned>(systemDpi) : 96u;
}

int TwipsToPixels(HWND window, double twips) { return stickwell::TwipsToPixels(twips, WindowDpi(window)); }
float PixelsToTwips(HWND window, int pixels) { return stickwell::PixelsToTwips(pixels, WindowDpi(window)); }

}  // namespace stickwell::win
