#include "harness/Input.h"

#include <vector>

#include "harness/Wait.h"

namespace e2e {
namespace {

// Lets the target process take the input before the next step, as a person's hand would.
constexpr DWORD kSettleMs = 30;

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  ::SendInput(1, &input, sizeof input);
}

void SendKey(WORD key, WORD scan, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  ::SendInput(1, &input, sizeof input);
}

bool IsExtendedKey(WORD key) {
  switch (key) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE: case VK_RCONTROL: case VK_RMENU:
      return true;
    default:
      return false;
  }
}

void KeyDown(WORD key) {
  SendKey(key, static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)),
          IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
}

void KeyUp(WORD key) {
  SendKey(key, static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)),
          KEYEVENTF_KEYUP | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0));
}

DWORD DownFlag(Button button) {
  switch (button) {
    case Button::Right: return MOUSEEVENTF_RIGHTDOWN;
    case Button::Middle: return MOUSEEVENTF_MIDDLEDOWN;
    default: return MOUSEEVENTF_LEFTDOWN;
  }
}

DWORD UpFlag(Button button) {
  switch (button) {
    case Button::Right: return MOUSEEVENTF_RIGHTUP;
    case Button::Middle: return MOUSEEVENTF_MIDDLEUP;
    default: return MOUSEEVENTF_LEFTUP;
  }
}

}  // namespace

POINT CursorPos() {
  POINT p{};
  ::GetCursorPos(&p);
  return p;
}

POINT CenterOf(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

void MoveTo(int x, int y) {
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  // Absolute coordinates run 0..65535 over the primary screen; aim at the pixel's centre.
  const LONG dx = static_cast<LONG>((x * 65536LL + 32768) / width);
  const LONG dy = static_cast<LONG>((y * 65536LL + 32768) / height);
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy);
  const POINT now = CursorPos();
  if (now.x != x || now.y != y) ::SetCursorPos(x, y);
  Pause(kSettleMs);
}

void Approach(int x, int y) {
  MoveTo(x + 2, y + 2);
  MoveTo(x, y);
}

void Press(Button button) {
  SendMouse(DownFlag(button));
  Pause(kSettleMs);
}

void Release(Button button) {
  SendMouse(UpFlag(button));
  Pause(kSettleMs);
}

void Click(int x, int y, Button button) {
  Approach(x, y);
  Press(button);
  Release(button);
}

void DoubleClick(int x, int y) {
  Approach(x, y);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  Pause(kSettleMs * 3);
}

void Drag(POINT from, POINT to, Button button, int steps) {
  Approach(from);
  Press(button);
  for (int i = 1; i <= steps; ++i)
    MoveTo(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
  Release(button);
}

void TypeText(std::wstring_view text) {
  for (wchar_t ch : text) {
    if (ch == L'\n') {
      PressKey(VK_RETURN);
      continue;
    }
    SendKey(0, ch, KEYEVENTF_UNICODE);
    SendKey(0, ch, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    Pause(5);
  }
  Pause(kSettleMs);
}

void KeyChord(std::initializer_list<WORD> keys) {
  for (WORD key : keys) KeyDown(key);
  std::vector<WORD> reversed(keys.begin(), keys.end());
  for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) KeyUp(*it);
  Pause(kSettleMs);
}

void PressKey(WORD key) { KeyChord({key}); }

bool Activate(HWND window) {
  ::SetForegroundWindow(window);
  return WaitUntil([&] { return ::GetForegroundWindow() == window; }, 3000);
}

}  // namespace e2e
