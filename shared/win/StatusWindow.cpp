#include "shared/win/StatusWindow.h"

#include <commctrl.h>

#include <string>

#include "shared/Twips.h"
#include "shared/win/CommonControls.h"
#include "shared/win/Contrast.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/Dpi.h"

namespace stickwell::win {
namespace {

// Pure blue: the background, and the colour the desktop shows through.
constexpr COLORREF kColourKey = RGB(0, 0, 255);

// The arrangement in twips.
constexpr SIZE kClient{4620, 780};
constexpr RECT kStatusLine{60, 30, 4560, 360};
constexpr RECT kBar{60, 420, 4560, 720};

// Gives the frameless `window` a client area of `clientTwips` and centres it on the work area.
void CentreOnWorkArea(HWND window, SIZE clientTwips) {
  const int width = TwipsToPixels(window, clientTwips.cx), height = TwipsToPixels(window, clientTwips.cy);
  RECT work{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) TraceLastError({L"SystemParametersInfoW work area"});
  ::SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// A visible child control of `parent` with the control id `id`, at `twips` (left, top, right, bottom).
HWND CreateChildAtTwips(HWND parent, const wchar_t* className, DWORD style, int id, const RECT& twips) {
  HWND child = ::CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, TwipsToPixels(parent, twips.left),
                                 TwipsToPixels(parent, twips.top), TwipsToPixels(parent, twips.right - twips.left),
                                 TwipsToPixels(parent, twips.bottom - twips.top), parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (!child) TraceLastError({L"CreateWindowExW ", className});
  return child;
}

// Tahoma 10.5 pt for the status line, without edge smoothing: smoothed letters would blend into the
// transparent blue and leave a blue fringe on the desktop.
UniqueFont CreateStatusFont(HWND window) {
  LOGFONTW font{};
  font.lfHeight = -PointsToPixels(10.5, WindowDpi(window));
  font.lfQuality = NONANTIALIASED_QUALITY;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
  UniqueFont created(::CreateFontIndirectW(&font));
  if (!created) TraceLastError({L"CreateFontIndirectW Tahoma"});
  return created;
}

}  // namespace

bool StatusWindow::createStatusWindow(const Look& look, HWND owner) {
  CommonControlsScope themed;  // the progress bar
  RegisterWindowClass(kFormClass, 0);
  if (!create(kFormClass, look.caption, WS_POPUP | WS_CLIPCHILDREN, WS_EX_LAYERED, 0, 0, 100, 100, owner, nullptr))
    return false;
  if (!::SetLayeredWindowAttributes(hwnd(), kColourKey, look.alpha, LWA_COLORKEY))
    TraceLastError({L"SetLayeredWindowAttributes ", look.caption});
  statusColour_ = look.statusColour;
  keyBrush_.reset(::CreateSolidBrush(kColourKey));

  CentreOnWorkArea(hwnd(), kClient);
  status_ = CreateChildAtTwips(hwnd(), L"STATIC", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, look.statusId, kStatusLine);
  bar_ = CreateChildAtTwips(hwnd(), PROGRESS_CLASSW, PBS_SMOOTH, look.barId, kBar);
  statusFont_ = CreateStatusFont(hwnd());
  ::SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_.get()), FALSE);
  return true;
}

void StatusWindow::setStatus(std::wstring_view text) {
  ::SetWindowTextW(status_, std::wstring(text).c_str());
  ::InvalidateRect(status_, nullptr, TRUE);
}

LRESULT StatusWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    // In a high-contrast theme the window shows whole, in the theme's face and text colours, rather
    // than a coloured line over whatever the desktop has.
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(hwnd(), &client);
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, HighContrast() ? ::GetSysColorBrush(COLOR_BTNFACE) : keyBrush_.get());
      return 1;
    }
    case WM_CTLCOLORSTATIC: {
      const auto dc = reinterpret_cast<HDC>(wParam);
      if (HighContrast()) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      ::SetTextColor(dc, statusColour_);
      ::SetBkColor(dc, kColourKey);
      return reinterpret_cast<LRESULT>(keyBrush_.get());
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      FollowSystemColours(hwnd(), message);
      break;
  }
  return Window::handleMessage(message, wParam, lParam);
}

}  // namespace stickwell::win
