#include "shared/win/PointerEvent.h"

#include <windowsx.h>

namespace stickwell::win {
namespace {

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

}  // namespace stickwell::win
