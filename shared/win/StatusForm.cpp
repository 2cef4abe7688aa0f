#include "shared/win/StatusForm.h"

#include "shared/Twips.h"
#include "shared/win/Dpi.h"

namespace stickwell::win {

void CentreOnWorkArea(HWND window, SIZE clientTwips) {
  const int width = TwipsToPixels(window, clientTwips.cx), height = TwipsToPixels(window, clientTwips.cy);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateChildAtTwips(HWND parent, const wchar_t* className, DWORD style, int id, const RECT& twips) {
  return ::CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, TwipsToPixels(parent, twips.left),
                           TwipsToPixels(parent, twips.top), TwipsToPixels(parent, twips.right - twips.left),
                           TwipsToPixels(parent, twips.bottom - twips.top), parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

HFONT CreateStatusFont(HWND window) {
  LOGFONTW font{};
  font.lfHeight = -PointsToPixels(10.5, WindowDpi(window));
  font.lfQuality = NONANTIALIASED_QUALITY;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
  return ::CreateFontIndirectW(&font);
}

}  // namespace stickwell::win
