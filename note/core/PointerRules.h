#pragma once
// What the pointer does over each part of the note: the window drag, the hover colours of "+" and
// "x", the program-wide pointer shape, the resize grip, title editing, the popup menu, a new note and
// closing the note. Also where the context-menu keys open the menu.
#include <cstdint>
#include <optional>

namespace stickwell::note {

// The parts of the note window that report the pointer.
enum class NotePart {
  BareArea,     // the window itself, where no control covers it
  PlusButton,   // "+"
  CloseButton,  // "x"
  Title,
  TitleEditor,
  BodyFrame,
  Body,
  Grip,
  StartTime,
  SideStrip,
};

enum class PointerKind { Move, Press, Release, Click, DoubleClick };

struct PointerInput {
  PointerKind kind = PointerKind::Move;
  int buttons = 0;  // held (Move) or pressed/released (the others): 1 left, 2 right, 4 middle
};

// Colours are 0x00BBGGRR; a value with the high bit set names a system colour.
inline constexpr std::uint32_t kRedText = 0x000000FF;
inline constexpr std::uint32_t kAppWorkspaceColour = 0x8000000C;  // grey "+" and "x"

// One pointer shape for the whole program: at its default every control shows its own pointer.
enum class ProgramPointer { Default, SizingArrow };

struct PointerReaction {
  enum class Action {
    None,
    DragWindow,  // the system moves the window with the pointer while the left button stays down
    NewNote,
    CloseNote,
    BeginTitleEdit,
    CommitTitle,
    ShowMenu,  // the note's popup menu at the pointer
    ResizeByGrip,
    RestoreDefaultSize,
  };
  std::optional<std::uint32_t> plusColour;   // "+"'s new text colour
  std::optional<std::uint32_t> closeColour;  // "x"'s new text colour
  std::optional<ProgramPointer> pointer;
  Action action = Action::None;
  bool swallow = false;  // the control must not see the event (the body's own edit menu)
  friend bool operator==(const PointerReaction&, const PointerReaction&) = default;
};

// `headerColour` is the window's back colour, which makes "+" and "x" invisible. A locked note
// cannot be dragged; everything else works in both states. The drag starts on a move with the left
// button held, not on the press, so that a click or a double-click on the title stays one.
PointerReaction ReactToPointer(NotePart part, PointerInput event, bool locked, std::uint32_t headerColour);

// A double-click on the grip gives the note this width and height, which is also its least size.
inline constexpr float kDefaultNoteSide = 3000;

// A pointer move over the grip with a button held, `offset` twips right of (or below) the grip's
// top-left corner: the window's width (or height) becomes `current` + `offset`, but only when that is
// above 500 twips; otherwise that side stays as it is. The layout then raises anything below the
// least size. Computed in single precision, as the window's sizes are held.
std::optional<float> GripProposal(float current, float offset);

// A context-menu request in a text box: from the keyboard (the menu key, Shift+F10) the note's menu
// opens at the caret; the body's own edit menu never shows (its right button has already opened the
// note's menu on the press); the title editor keeps its own menu for the right button.
enum class ContextMenuAnswer { NoteMenuAtCaret, Swallow, PassOn };
ContextMenuAnswer AnswerContextMenu(NotePart part, bool fromKeyboard);

}  // namespace stickwell::note
