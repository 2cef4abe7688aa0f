#include "note/win/Label.h"

#include <windowsx.h>

#include "shared/win/WinHandles.h"

namespace stickwell::note {
namespace {

constexpr wchar_t kLabelClass[] = L"StickwellLabel";

int HeldButtons(WPARAM keys) {
  int buttons = 0;
  if (keys & MK_LBUTTON) buttons |= 1;
  if (keys & MK_RBUTTON) buttons |= 2;
  if (keys & MK_MBUTTON) buttons |= 4;
  return buttons;
}

}  // namespace

int HeldModifiers() {
  int modifiers = 0;
  if (::GetKeyState(VK_SHIFT) < 0) modifiers |= 1;
  if (::GetKeyState(VK_CONTROL) < 0) modifiers |= 2;
  if (::GetKeyState(VK_MENU) < 0) modifiers |= 4;
  return modifiers;
}

bool ReadPointerMessage(UINT message, WPARAM wParam, LPARAM lParam, PointerEvent& event) {
  using Kind = PointerEvent::Kind;
  switch (message) {
    case WM_MOUSEMOVE: event = {Kind::Move, HeldButtons(wParam), 0, {}}; break;
    case WM_LBUTTONDOWN: event = {Kind::Press, 1, 0, {}}; break;
    case WM_RBUTTONDOWN: event = {Kind::Press, 2, 0, {}}; break;
    case WM_MBUTTONDOWN: event = {Kind::Press, 4, 0, {}}; break;
    case WM_LBUTTONUP: event = {Kind::Release, 1, 0, {}}; break;
    case WM_RBUTTONUP: event = {Kind::Release, 2, 0, {}}; break;
    case WM_MBUTTONUP: event = {Kind::Release, 4, 0, {}}; break;
    case WM_LBUTTONDBLCLK: event = {Kind::DoubleClick, 1, 0, {}}; break;
    // Only the left button has double-clicks; a quick second press of another button is a press.
    case WM_RBUTTONDBLCLK: event = {Kind::Press, 2, 0, {}}; break;
    case WM_MBUTTONDBLCLK: event = {Kind::Press, 4, 0, {}}; break;
    default: return false;
  }
  event.modifiers = HeldModifiers();
  event.pixel = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  return true;
}

bool Label::create(HWND parent, HWND form, int id, std::wstring_view caption, const Look& look,
                   PointerListener& listener) {
  win::RegisterWindowClass(kLabelClass, CS_DBLCLKS);
  form_ = form;
  id_ = id;
  look_ = look;
  listener_ = &listener;
  const std::wstring text(caption);
  return Window::create(kLabelClass, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                        0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}

std::wstring Label::caption() const {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd())) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(hwnd(), text.data(), static_cast<int>(text.size()))));
  return text;
}

void Label::setCaption(std::wstring_view caption) { ::SetWindowTextW(hwnd(), std::wstring(caption).c_str()); }

void Label::setBackColour(ColourValue colour) {
  look_.back = colour;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::setForeColour(ColourValue colour) {
  if (look_.fore == colour) return;  // the hover colours are set on every pointer move
  look_.fore = colour;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::setFont(HFONT font) {
  look_.font = font;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::paint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd(), &ps);
  RECT client;
  ::GetClientRect(hwnd(), &client);
  {
    win::UniqueBrush back(::CreateSolidBrush(Resolve(look_.back)));
    ::FillRect(dc, &client, back.get());
  }
  const std::wstring text = caption();
  if (!text.empty()) {
    const win::SelectGuard font(dc, look_.font ? look_.font : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Resolve(look_.fore));
    UINT format = DT_NOPREFIX | DT_TOP;
    format |= look_.align == Align::Centre ? DT_CENTER : look_.align == Align::Right ? DT_RIGHT : DT_LEFT;
    format |= look_.wrap ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
  }
  ::EndPaint(hwnd(), &ps);
}

LRESULT Label::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  PointerEvent event;
  if (ReadPointerMessage(message, wParam, lParam, event)) {
    using Kind = PointerEvent::Kind;
    // Like a button, the label keeps the pointer while a button is held: the grip measures moves
    // beyond its edges, and a click is a press and a release over the same label.
    if (event.kind == Kind::Press || event.kind == Kind::DoubleClick) ::SetCapture(hwnd());
    if (event.kind == Kind::Press) clickPending_ = event.buttons == 1;
    const bool released = event.kind == Kind::Release;
    const bool click = released && event.buttons == 1 && clickPending_;
    if (click) clickPending_ = false;
    if (released && (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && ::GetCapture() == hwnd())
      ::ReleaseCapture();
    listener_->onPointer(id_, event);
    if (click) {
      RECT client;
      ::GetClientRect(hwnd(), &client);
      if (::PtInRect(&client, event.pixel)) listener_->onPointer(id_, {Kind::Click, 1, event.modifiers, event.pixel});
    }
    if (event.kind == Kind::DoubleClick) clickPending_ = false;
    return 0;
  }
  switch (message) {
    case WM_CAPTURECHANGED:
      clickPending_ = false;
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint();
      return 0;
    case WM_SETTEXT: {
      const LRESULT result = Window::handleMessage(message, wParam, lParam);
      ::InvalidateRect(hwnd(), nullptr, TRUE);
      return result;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      // The body inside the frame reports to the form, like every other control.
      if (form_) return ::SendMessageW(form_, message, wParam, lParam);
      break;
  }
  return Window::handleMessage(message, wParam, lParam);
}

}  // namespace stickwell::note
