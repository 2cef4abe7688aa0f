#pragma once
// Driving the programs as a user does: pointer and keyboard through the system's input queue. Each step
// lets the target process take the input before the next, as a person's hand would.
#include <windows.h>

#include <functional>
#include <string_view>
#include <vector>

#include "harness/Wait.h"

namespace e2e {

enum class Button { Left, Right };

inline POINT CenterOf(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

inline void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{INPUT_MOUSE, {}};
  input.mi = {dx, dy, 0, flags, 0, 0};
  ::SendInput(1, &input, sizeof input);
}

inline void SendKey(WORD key, DWORD flags) {
  INPUT input{INPUT_KEYBOARD, {}};
  const bool arrow = key >= VK_LEFT && key <= VK_DOWN;  // extended keys
  input.ki = {key, static_cast<WORD>(key ? ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC) : 0), flags | (arrow ? KEYEVENTF_EXTENDEDKEY : 0), 0, 0};
  ::SendInput(1, &input, sizeof input);
}

// Moves the pointer to a screen pixel (absolute coordinates run 0..65535 over the screen).
inline void MoveTo(POINT p) {
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, static_cast<LONG>((p.x * 65536LL + 32768) / ::GetSystemMetrics(SM_CXSCREEN)),
            static_cast<LONG>((p.y * 65536LL + 32768) / ::GetSystemMetrics(SM_CYSCREEN)));
  Pause(30);
}

// Moves onto the point from a few pixels away, as a hand does before it presses. A window that opened
// under a resting pointer has not seen it yet; under Wine, what it does when it first sees it (its
// tooltips, a restacking without a window manager) can otherwise come in the middle of a press: a stray
// click into a new note, a menu shown behind its note, a grip drag that does not take.
inline void Approach(POINT p) {
  MoveTo({p.x + 2, p.y + 2});
  MoveTo(p);
}

inline void Press(Button button, bool down) {
  SendMouse(button == Button::Left ? (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP) : (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP));
  Pause(30);
}

inline void Click(POINT p, Button button = Button::Left) {
  Approach(p);
  Press(button, true);
  Press(button, false);
}

inline void DoubleClick(POINT p) {
  Approach(p);
  for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) SendMouse(flags);
  Pause(90);
}

// Clicks at `p` until `done`: a busy machine can lose a click on the way, and a person would click again.
inline bool ClickUntil(POINT p, const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 3; ++attempt)
    if (Click(p), WaitUntil(done, 3000)) return true;
  return false;
}

// Holds `button` at `from`, moves in `steps` steps to `to`, releases.
inline void Drag(POINT from, POINT to, Button button = Button::Left, int steps = 8) {
  Approach(from);
  Press(button, true);
  for (int i = 1; i <= steps; ++i) MoveTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
  Press(button, false);
}

// Presses the keys in order and releases them in reverse order (Ctrl+Up is {VK_CONTROL, VK_UP}).
inline void KeyChord(const std::vector<WORD>& keys) {
  for (WORD key : keys) SendKey(key, 0);
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) SendKey(*key, KEYEVENTF_KEYUP);
  Pause(30);
}

// Types text character by character (Chinese included) as an input method delivers it; "\n" is Enter.
inline void TypeText(std::wstring_view text) {
  for (wchar_t ch : text) {
    INPUT input[2]{{INPUT_KEYBOARD, {}}, {INPUT_KEYBOARD, {}}};
    input[0].ki = {0, ch, KEYEVENTF_UNICODE, 0, 0};
    input[1].ki = {0, ch, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, 0, 0};
    ch == L'\n' ? KeyChord({VK_RETURN}) : (void)::SendInput(2, input, sizeof(INPUT));
    Pause(5);
  }
  Pause(30);
}

// Brings a top-level window to the front with the keyboard. The window's own thread activates it when
// it next reads its messages, which on a busy machine can take seconds; the request is made again
// now and then, should something else have taken the front meanwhile.
inline bool Activate(HWND window) {
  ULONGLONG asked = 0;
  return WaitUntil([&] {
    if (::GetForegroundWindow() == window) return true;
    if (::GetTickCount64() - asked >= 1000) ::SetForegroundWindow(window), asked = ::GetTickCount64();
    return false;
  });
}

}  // namespace e2e
