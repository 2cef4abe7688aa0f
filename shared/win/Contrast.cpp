#include "shared/win/Contrast.h"

#include <optional>

namespace stickwell::win {
namespace {

std::optional<bool> known;   // the theme as last read
std::optional<bool> forced;  // the test build's switch

bool ReadTheme() {
  HIGHCONTRASTW theme{};
  theme.cbSize = sizeof theme;
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof theme, &theme, 0) && (theme.dwFlags & HCF_HIGHCONTRASTON);
}

void Repaint(HWND window) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace

bool HighContrast() {
  if (forced) return *forced;
  if (!known) known = ReadTheme();
  return *known;
}

void FollowSystemColours(HWND window, UINT message) {
  const bool before = HighContrast();
  known.reset();
  // Other settings change often (the work area, the wallpaper): only new colours or a theme switched
  // on or off repaint.
  if (message == WM_SYSCOLORCHANGE || HighContrast() != before) Repaint(window);
}

#ifdef STICKWELL_TEST_PROBES
void ForceHighContrast(bool on) {
  forced = on;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(), [](HWND window, LPARAM) { return Repaint(window), TRUE; }, 0);
}
#endif

}  // namespace stickwell::win
