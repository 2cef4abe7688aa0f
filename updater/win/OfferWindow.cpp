#include "updater/win/OfferWindow.h"

#include <oleacc.h>

#include "shared/UpdatePage.h"
#include "shared/win/Contrast.h"
#include "shared/win/Crypto.h"
#include "shared/win/Dpi.h"
#include "shared/Text.h"
#include "shared/win/Launch.h"
#include "shared/win/UpdatePageFetch.h"
#include "shared/win/WideText.h"
#include "updater/win/ControlIds.h"
#include "updater/win/Forms.h"
#include "updater/win/Logo.h"

namespace stickwell::updater {
namespace {

using namespace ids;

constexpr UINT kPageArrived = WM_APP + 1;

// The arrangement in twips, top to bottom.
namespace twips {
constexpr RECT kLogo{0, 0, 3810, 855};
constexpr RECT kProductName{240, 180, 2400, 675};
constexpr RECT kPromptLine{60, 960, 60 + 3690, 960 + 270};
constexpr RECT kVersionLine{1530, 1275, 1530 + 2220, 1275 + 270};
constexpr RECT kChangeLogBox{15, 1590, 15 + 3780, 1590 + 2385};
constexpr RECT kSiteLinkLine{60, 4035, 60 + 3405, 4035 + 270};
constexpr RECT kUpdateButton{240, 4380, 240 + 1335, 4380 + 495};
constexpr RECT kCancelButton{2235, 4380, 2235 + 1335, 4380 + 495};
constexpr SIZE kClient{3810, 5055};
}  // namespace twips

// In a high-contrast theme: the lines and the banner on the window's face, the links in the system's
// link colour.
win::Colours OnFace(win::Colours) { return {win::kButtonFace, win::kButtonText}; }
win::Colours LinkOnFace(win::Colours) { return {win::kButtonFace, win::kSystemColour | COLOR_HOTLIGHT}; }

// Readers hear the links as links, and can follow them.
win::Accessible LinkTo(const win::Label& link) {
  return {ROLE_SYSTEM_LINK, [&link] { return link.caption(); }, L"跳转", [] { win::OpenOfficialSite(); }};
}

PageFetch FetchOf(win::FetchStatus status) {
  switch (status) {
    case win::FetchStatus::Ok:
      return PageFetch::Arrived;
    case win::FetchStatus::NotConnected:
      return PageFetch::NotConnected;
    case win::FetchStatus::Failed:
      break;
  }
  return PageFetch::Failed;
}

}  // namespace

bool OfferWindow::open(int showCommand) {
  win::RegisterWindowClass(win::kFormClass, 0);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  if (!create(win::kFormClass, kUpdaterCaption, style, 0, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr, nullptr))
    return false;
  FormOpened();

  // Size the client area for the window's DPI, then centre the window on its screen.
  RECT frame{0, 0, win::TwipsToPixels(hwnd(), twips::kClient.cx), win::TwipsToPixels(hwnd(), twips::kClient.cy)};
  ::AdjustWindowRectExForDpi(&frame, style, FALSE, 0, win::WindowDpi(hwnd()));
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::SetWindowPos(hwnd(), nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

  createControls();
  show(OpeningView());
  ::ShowWindow(hwnd(), showCommand);
  ::UpdateWindow(hwnd());
  page_.start(hwnd(), kPageArrived, win::FetchUpdatePage);
  return true;
}

void OfferWindow::createControls() {
  const auto pixels = [this](const RECT& twips) {
    return RECT{win::TwipsToPixels(hwnd(), twips.left), win::TwipsToPixels(hwnd(), twips.top),
                win::TwipsToPixels(hwnd(), twips.right), win::TwipsToPixels(hwnd(), twips.bottom)};
  };
  textFont_ = MakeFont(hwnd(), L"宋体", 9, false, GB2312_CHARSET);
  productFont_ = MakeFont(hwnd(), L"Arial", 20, true);
  const RECT banner = pixels(twips::kLogo);
  const auto paintBanner = [banner](HDC dc, const RECT&) { PaintLogo(dc, banner); };
  const auto openSite = [] { win::OpenOfficialSite(); };
  // One line of text, centred from top to bottom, on the window's face.
  const auto line = [](HFONT font, COLORREF colour, win::ContrastChoice contrast = &OnFace) {
    return win::Label::Look{win::kButtonFace, colour, font, win::Label::Align::Left, false, /*middle=*/true, contrast};
  };

  // The labels clip their siblings: the product name lies over the banner and stays on top of it.
  logo_.create(hwnd(), kLogo, L"", line(nullptr, RGB(0, 0, 0)), banner);
  logo_.setBackgroundPainter(paintBanner);
  logo_.onLeftPress(openSite);
  product_.create(hwnd(), kProduct, L"Stickwell", line(productFont_.get(), RGB(255, 0, 0), &LinkOnFace),
                  pixels(twips::kProductName));
  product_.describe(LinkTo(product_));
  product_.setBackgroundPainter(paintBanner);
  product_.onLeftPress(openSite);
  ::SetWindowPos(product_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  prompt_.create(hwnd(), kPrompt, L"", line(textFont_.get(), RGB(0, 0, 0)), pixels(twips::kPromptLine));
  version_.create(hwnd(), kVersion, L"", line(textFont_.get(), RGB(0x40, 0x40, 0x40)), pixels(twips::kVersionLine));

  const RECT box = pixels(twips::kChangeLogBox);
  changeLog_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                                 box.left, box.top, box.right - box.left, box.bottom - box.top, hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChangeLog)), nullptr, nullptr);
  ::SendMessageW(changeLog_, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), FALSE);

  siteLink_.create(hwnd(), kSiteLink, L"点此进入官网下载最新版本。", line(textFont_.get(), RGB(255, 0, 0), &LinkOnFace),
                   pixels(twips::kSiteLinkLine));
  siteLink_.describe(LinkTo(siteLink_));
  siteLink_.onLeftPress(openSite);

  const auto button = [this, &pixels](int id, const wchar_t* caption, const RECT& twips) {
    const RECT r = pixels(twips);
    HWND created = ::CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                     r.left, r.top, r.right - r.left, r.bottom - r.top, hwnd(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    ::SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), FALSE);
    return created;
  };
  update_ = button(kUpdate, L"确定", twips::kUpdateButton);
  cancel_ = button(kCancel, L"取消", twips::kCancelButton);
}

void OfferWindow::show(const OfferView& view) {
  prompt_.setCaption(win::Wide(view.prompt));
  version_.setCaption(win::Wide(view.version));
  ::SetWindowTextW(changeLog_, win::Wide(view.changeLog).c_str());
  ::EnableWindow(update_, view.canUpdate);
  ::ShowWindow(siteLink_.hwnd(), view.showSiteLink ? SW_SHOW : SW_HIDE);
  // The keyboard starts on "确定" when there is something to take, on "取消" otherwise.
  focusButton(view.canUpdate ? update_ : cancel_);
}

void OfferWindow::focusButton(HWND button) {
  focus_ = ::IsWindowEnabled(button) ? button : cancel_;
  // Never taken from another program's window: the button has the keyboard when this one comes back.
  if (::GetActiveWindow() == hwnd()) ::SetFocus(focus_);
}

void OfferWindow::onPageArrived() {
  const auto page = page_.take();
  if (!page) return;
  show(ViewForFetch(FetchOf(page->status), Utf8ToText(page->body), page::OwnVersionText(), win::TrustUpdatePage));
}

LRESULT OfferWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kPageArrived:
      onPageArrived();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (const HWND focus = ::GetFocus(); focus == update_ || focus == cancel_) focus_ = focus;
        break;
      }
      if (!::IsIconic(hwnd())) focusButton(focus_);
      return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      win::FollowSystemColours(hwnd(), message);
      break;
    case WM_COMMAND:
      // The keys of a dialog: Enter presses the button that has the keyboard, Esc presses "取消".
      if (LOWORD(wParam) == IDOK && HIWORD(wParam) == 0) {
        if (const HWND focus = ::GetFocus(); focus == update_ || focus == cancel_) ::SendMessageW(focus, BM_CLICK, 0, 0);
      } else if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == 0) {
        ::SendMessageW(cancel_, BM_CLICK, 0, 0);
      } else if (LOWORD(wParam) == kUpdate && ::IsWindowEnabled(update_)) {
        accepted_ = true;
        ::DestroyWindow(hwnd());
      } else if (LOWORD(wParam) == kCancel) {
        ::DestroyWindow(hwnd());
      }
      return 0;
    case WM_CTLCOLORSTATIC:
      // The read-only change-log box keeps a white page; a high-contrast theme's page instead.
      if (reinterpret_cast<HWND>(lParam) == changeLog_) {
        const auto dc = reinterpret_cast<HDC>(wParam);
        if (win::HighContrast()) {
          ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
          ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
          return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
        }
        ::SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
      }
      break;
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(hwnd(), &client);
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
  }
  return Window::handleMessage(message, wParam, lParam);
}

void OfferWindow::onDestroyed() {
  if (accepted_ && startUpdate_) startUpdate_();
  FormClosed();
}

}  // namespace stickwell::updater
