#pragma once
// Driving the programs as a user does: pointer and keyboard through the system's input queue.
#include <windows.h>

#include <initializer_list>
#include <string_view>

namespace e2e {

POINT CursorPos();
POINT CenterOf(const RECT& rect);

// Moves the pointer to a screen pixel (the programs see an ordinary pointer move).
void MoveTo(int x, int y);
inline void MoveTo(POINT p) { MoveTo(p.x, p.y); }
// Moves onto the point from a few pixels away, as a hand does before it presses. A window that
// opened under a resting pointer has not seen it yet; under Wine, what it does when it first sees it
// (its tooltips, a restacking without a window manager) can otherwise come in the middle of a press.
void Approach(int x, int y);
inline void Approach(POINT p) { Approach(p.x, p.y); }

enum class Button { Left, Right, Middle };
void Press(Button button);
void Release(Button button);
void Click(int x, int y, Button button = Button::Left);
void DoubleClick(int x, int y);
// Holds `button` at `from`, moves in `steps` steps to `to`, releases.
void Drag(POINT from, POINT to, Button button = Button::Left, int steps = 8);

// Types text character by character (Chinese included), as an input method would deliver it.
void TypeText(std::wstring_view text);
// Presses the keys in order and releases them in reverse order (Ctrl+Up is {VK_CONTROL, VK_UP}).
void KeyChord(std::initializer_list<WORD> keys);
void PressKey(WORD key);

// Brings a top-level window to the front and gives it the keyboard.
bool Activate(HWND window);

}  // namespace e2e
