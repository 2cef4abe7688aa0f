#include "updater/win/Label.h"

namespace stickwell::updater {
namespace {
constexpr wchar_t kLabelClass[] = L"RenewickLabel";
}

bool Label::create(HWND parent, int id, const std::wstring& text, const RECT& pixels, UINT format) {
  static const ATOM registered = win::RegisterWindowClass(kLabelClass, 0);
  (void)registered;
  text_ = text;
  format_ = format;
  return Window::create(kLabelClass, text.c_str(), WS_CHILD | WS_VISIBLE, 0, pixels.left, pixels.top,
                        pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}

void Label::setText(const std::wstring& text) {
  text_ = text;
  ::SetWindowTextW(hwnd(), text.c_str());
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::setColour(COLORREF colour) {
  colour_ = colour;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::setFont(HFONT font) {
  font_ = font;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::setBackground(COLORREF colour) {
  background_ = colour;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::paint(HDC dc) {
  RECT client;
  ::GetClientRect(hwnd(), &client);
  if (backgroundPainter_) {
    RECT inParent = client;
    ::MapWindowPoints(hwnd(), ::GetParent(hwnd()), reinterpret_cast<POINT*>(&inParent), 2);
    POINT origin;
    ::SetViewportOrgEx(dc, -inParent.left, -inParent.top, &origin);
    backgroundPainter_(dc, inParent);
    ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  } else {
    HBRUSH brush = ::CreateSolidBrush(background_);
    ::FillRect(dc, &client, brush);
    ::DeleteObject(brush);
  }
  HGDIOBJ oldFont = font_ ? ::SelectObject(dc, font_) : nullptr;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, colour_);
  ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &client, format_ | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (oldFont) ::SelectObject(dc, oldFont);
}

LRESULT Label::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd(), &ps);
      paint(dc);
      ::EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (leftPress_) leftPress_();
      return 0;
    case WM_SETCURSOR:
      if (leftPress_) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
  }
  return Window::handleMessage(message, wParam, lParam);
}

}  // namespace stickwell::updater
