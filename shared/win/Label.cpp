#include "shared/win/Label.h"

#include "shared/win/WinHandles.h"

namespace stickwell::win {
namespace {

constexpr wchar_t kLabelClass[] = L"StickwellLabel";

}  // namespace

bool Label::create(HWND parent, int id, std::wstring_view caption, const Look& look, const RECT& pixels) {
  // Once per program: a note makes seven labels as it starts, and asking again costs a round trip each.
  static const ATOM labelClass = RegisterWindowClass(kLabelClass, CS_DBLCLKS);
  (void)labelClass;
  id_ = id;
  look_ = look;
  const std::wstring text(caption);
  return Window::create(kLabelClass, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                        pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
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

void Label::paint(HDC dc) {
  RECT client;
  ::GetClientRect(hwnd(), &client);
  const bool contrast = look_.contrast && HighContrast();
  const Colours colours = contrast ? look_.contrast({look_.back, look_.fore}) : Colours{look_.back, look_.fore};
  if (backgroundPainter_ && !contrast) {
    RECT inParent = client;
    ::MapWindowPoints(hwnd(), ::GetParent(hwnd()), reinterpret_cast<POINT*>(&inParent), 2);
    POINT origin;
    ::SetViewportOrgEx(dc, -inParent.left, -inParent.top, &origin);
    backgroundPainter_(dc, inParent);
    ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  } else {
    const UniqueBrush back(::CreateSolidBrush(Resolve(colours.back)));
    ::FillRect(dc, &client, back.get());
  }
  const std::wstring text = caption();
  if (text.empty()) return;
  const SelectGuard font(dc, look_.font ? look_.font : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, Resolve(colours.fore));
  UINT format = DT_NOPREFIX | (look_.middle ? DT_VCENTER : DT_TOP);
  format |= look_.align == Align::Centre ? DT_CENTER : look_.align == Align::Right ? DT_RIGHT : DT_LEFT;
  format |= look_.wrap ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE;
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
}

void Label::onPointer(const PointerEvent& event, WPARAM keys) {
  using Kind = PointerEvent::Kind;
  // The grip measures moves beyond its edges, and a click is a press and a release over the same
  // label.
  if (event.kind == Kind::Press || event.kind == Kind::DoubleClick) ::SetCapture(hwnd());
  if (event.kind == Kind::Press) clickPending_ = event.buttons == 1;
  const bool released = event.kind == Kind::Release;
  const bool click = released && event.buttons == 1 && clickPending_;
  if (click) clickPending_ = false;
  if (released && (keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && ::GetCapture() == hwnd()) ::ReleaseCapture();
  listener_->onPointer(id_, event);
  if (click) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    if (::PtInRect(&client, event.pixel)) listener_->onPointer(id_, {Kind::Click, 1, event.modifiers, event.pixel});
  }
  if (event.kind == Kind::DoubleClick) clickPending_ = false;
}

LRESULT Label::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (PointerEvent event; listener_ && ReadPointerMessage(message, wParam, lParam, event)) {
    onPointer(event, wParam);
    return 0;
  }
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a quick second press leads there again
      if (leftPress_) {
        leftPress_();
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (leftPress_) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_GETOBJECT:
      if (const LRESULT object = AnswerGetObject(hwnd(), wParam, lParam, accessible_)) return object;
      break;
    case kRunDefaultAction:
      if (accessible_.run) accessible_.run();
      return 0;
    case WM_CAPTURECHANGED:
      clickPending_ = false;
      return 0;
    case WM_NCPAINT:
      // A label has no frame, and the default treatment still costs a round trip for a window DC:
      // seven of them as a note first shows.
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      const PaintScope scope(hwnd());
      paint(scope.dc());
      return 0;
    }
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
      return ::SendMessageW(::GetParent(hwnd()), message, wParam, lParam);
  }
  return Window::handleMessage(message, wParam, lParam);
}

}  // namespace stickwell::win
