#pragma once
// Pointer moves, presses, releases, clicks and double-clicks over a control, as its form is told of
// them.
#include <windows.h>

namespace stickwell::win {

struct PointerEvent {
  enum class Kind { Move, Press, Release, Click, DoubleClick };
  Kind kind = Kind::Move;
  int buttons = 0;    // held (Move) or pressed/released (the others): 1 left, 2 right, 4 middle
  int modifiers = 0;  // 1 Shift, 2 Ctrl, 4 Alt
  POINT pixel{};      // relative to the control's top-left corner; negative left of or above it
};

// The form side of a control: where its pointer events go.
class PointerListener {
 public:
  virtual void onPointer(int controlId, const PointerEvent& event) = 0;

 protected:
  ~PointerListener() = default;
};

// The modifier keys held now, as in PointerEvent::modifiers.
int HeldModifiers();

// Reads a pointer message of any window into an event; false for other messages.
bool ReadPointerMessage(UINT message, WPARAM wParam, LPARAM lParam, PointerEvent& event);

}  // namespace stickwell::win
