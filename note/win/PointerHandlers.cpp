#include "note/win/PointerHandlers.h"

#include "note/core/FontSize.h"
#include "note/core/GripResize.h"
#include "note/win/ControlIds.h"
#include "note/win/NoteWindow.h"
#include "shared/Twips.h"

namespace stickwell::note {
namespace {

using Kind = win::PointerEvent::Kind;
using Shape = PointerShape::Shape;

constexpr win::ColourValue kRed = 0x000000FF;
constexpr int kLeft = 1;
constexpr int kRight = 2;

void SetCornerButtons(NoteWindow& note, win::ColourValue colour) {
  note.label(kPlusButtonId)->setForeColour(colour);
  note.label(kCloseButtonId)->setForeColour(colour);
}

// The bare area and the title are the note's caption bar: the system moves the window with the
// pointer for as long as the left button stays down. The move starts on a pointer move, not on the
// press, so that a click or a double-click on the title stays one; and only while the left button is
// down, since the system's move loop would otherwise wait for a release that never comes.
void OverCaption(NoteWindow& note, const win::PointerEvent& event) {
  SetCornerButtons(note, win::kAppWorkspace);
  if ((event.buttons & kLeft) == 0 || note.isLocked()) return;
  ::ReleaseCapture();
  ::SendMessageW(note.hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

// Each move with any button held sizes the window so that the grip's top-left corner comes to the
// pointer; the layout moves the grip there and keeps the least size.
void OverGrip(NoteWindow& note, const win::PointerEvent& event) {
  note.pointerShape().set(Shape::SizeNorthWestSouthEast, note.control(kGripId));
  if (event.buttons == 0) return;
  if (const auto width = GripProposal(note.width(), PixelsToTwips(event.pixel.x, note.dpi())))
    note.setWidth(*width);
  if (const auto height = GripProposal(note.height(), PixelsToTwips(event.pixel.y, note.dpi())))
    note.setHeight(*height);
}

void ShowMenu(NoteWindow& note, int controlId, const win::PointerEvent& event) {
  POINT at = event.pixel;
  ::ClientToScreen(note.control(controlId), &at);
  note.menu().popup(at);
}

}  // namespace

void HandlePointer(NoteWindow& note, int controlId, const win::PointerEvent& event) {
  const bool move = event.kind == Kind::Move;
  switch (controlId) {
    case kFormId:
      if (move) OverCaption(note, event);
      break;
    case kTitleId:
      if (move) OverCaption(note, event);
      if (event.kind == Kind::DoubleClick) note.beginTitleEdit();
      if (event.kind == Kind::Press && event.buttons == kRight) ShowMenu(note, controlId, event);
      break;
    case kPlusButtonId:
      if (move) note.label(kPlusButtonId)->setForeColour(kRed);
      if (event.kind == Kind::Click) note.newNote();
      break;
    case kCloseButtonId:
      if (move) note.label(kCloseButtonId)->setForeColour(kRed);
      if (event.kind == Kind::Click) note.deleteNote();
      break;
    case kBodyId:
      if (move) {
        SetCornerButtons(note, note.backColour());
        note.pointerShape().set(Shape::Default, note.control(controlId));
      }
      if (event.kind == Kind::Click) note.commitTitle();
      if (event.kind == Kind::Press && event.buttons == kRight) ShowMenu(note, controlId, event);
      break;
    case kBodyFrameId:
    case kStartTimeId:
    case kSideStripId:
      if (move) note.pointerShape().set(Shape::Default, note.control(controlId));
      break;
    case kGripId:
      if (move) OverGrip(note, event);
      if (event.kind == Kind::DoubleClick) {
        note.setWidth(kDefaultNoteSide);
        note.setHeight(kDefaultNoteSide);
      }
      break;
    default:
      break;
  }
}

void RunFontShortcut(NoteWindow& note, const MSG& message) {
  if (message.message != WM_KEYDOWN) return;
  if (message.hwnd != note.hwnd() && !::IsChild(note.hwnd(), message.hwnd)) return;
  const int step = FontShortcutStep(static_cast<int>(message.wParam), win::HeldModifiers());
  if (step > 0) note.menu().growFont();
  if (step < 0) note.menu().shrinkFont();
}

}  // namespace stickwell::note
