#pragma once
// The note's keys beside the pointer: a new note, the title editor, and placing the window from the
// keyboard (a window menu on Alt+Space, then the arrow keys), so that a note serves a hand without a
// mouse. The lock holds for the keys as it holds for the pointer: it stops moving, not sizing.
#include <array>
#include <string_view>

#include "note/core/PointerRules.h"

namespace stickwell::note {

// Key codes as the system gives them, and the modifier set: 1 Shift, 2 Ctrl, 4 Alt.
inline constexpr int kKeyReturn = 0x0D;
inline constexpr int kKeyEscape = 0x1B;
inline constexpr int kKeySpace = 0x20;
inline constexpr int kKeyLeft = 0x25;
inline constexpr int kKeyUpArrow = 0x26;
inline constexpr int kKeyRight = 0x27;
inline constexpr int kKeyDownArrow = 0x28;
inline constexpr int kKeyN = 0x4E;
inline constexpr int kKeyF2 = 0x71;

enum class KeyAnswer {
  PassOn,          // the control with the keyboard takes the key as usual
  NewNote,         // what "+" does
  BeginTitleEdit,  // what a double-click on the title does
  CommitTitle,     // what a click in the body does
  WindowMenu,      // the window menu: 移动 and 大小
};

// A key pressed while `focus` (the body, the title editor or the window itself) has the keyboard. A key
// the note answers goes no further: Ctrl+N types nothing, Enter in the title editor does not beep.
KeyAnswer AnswerKey(NotePart focus, int keyCode, int modifiers);

enum class Placing { Move, Size };

struct WindowMenuItem {
  Placing placing;
  std::u16string_view caption;
  bool enabled;
};

// The window menu. 移动 is greyed while the note is locked, as the lock stops the pointer's drag; 大小
// works in both states, as the grip does.
std::array<WindowMenuItem, 2> WindowMenu(bool locked);

// The system's own keyboard step for moving and sizing windows: 8 pixels at 96 dpi.
inline constexpr float kPlacingStep = 120;

// A key while the window is placed from the keyboard. The arrows shift the window (Move) or its
// bottom-right corner (Size), where the grip is, by one step; Enter keeps the place, Esc returns to
// where the placing began; every other key is swallowed, so that nothing is typed meanwhile.
struct PlacingStep {
  enum class Action { Swallow, Shift, Keep, Return };
  Action action = Action::Swallow;
  float dx = 0, dy = 0;  // twips: to the left and top (Move), or to the width and height (Size)
  friend bool operator==(const PlacingStep&, const PlacingStep&) = default;
};
PlacingStep PlacingKey(int keyCode);

}  // namespace stickwell::note
