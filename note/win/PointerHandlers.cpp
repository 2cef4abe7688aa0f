#include "note/win/PointerHandlers.h"

#include <optional>

#include "note/core/FontSize.h"
#include "note/core/PointerRules.h"
#include "note/win/ControlIds.h"
#include "note/win/NoteWindow.h"
#include "shared/Twips.h"

namespace stickwell::note {
namespace {

using Action = PointerReaction::Action;

std::optional<NotePart> PartOf(int controlId) {
  switch (controlId) {
    case kFormId: return NotePart::BareArea;
    case kPlusButtonId: return NotePart::PlusButton;
    case kCloseButtonId: return NotePart::CloseButton;
    case kTitleId: return NotePart::Title;
    case kTitleEditorId: return NotePart::TitleEditor;
    case kBodyFrameId: return NotePart::BodyFrame;
    case kBodyId: return NotePart::Body;
    case kGripId: return NotePart::Grip;
    case kStartTimeId: return NotePart::StartTime;
    case kSideStripId: return NotePart::SideStrip;
    default: return std::nullopt;
  }
}

PointerKind KindOf(win::PointerEvent::Kind kind) {
  switch (kind) {
    case win::PointerEvent::Kind::Move: return PointerKind::Move;
    case win::PointerEvent::Kind::Press: return PointerKind::Press;
    case win::PointerEvent::Kind::Release: return PointerKind::Release;
    case win::PointerEvent::Kind::Click: return PointerKind::Click;
    case win::PointerEvent::Kind::DoubleClick: return PointerKind::DoubleClick;
  }
  return PointerKind::Move;
}

// Each move with a button held sizes the window so that the grip's top-left corner comes to the
// pointer; the layout moves the grip there and keeps the least size.
void ResizeByGrip(NoteWindow& note, const win::PointerEvent& event) {
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

bool HandlePointer(NoteWindow& note, int controlId, const win::PointerEvent& event) {
  const std::optional<NotePart> part = PartOf(controlId);
  if (!part) return false;
  const PointerReaction reaction =
      ReactToPointer(*part, {KindOf(event.kind), event.buttons}, note.isLocked(), note.backColour());
  if (reaction.plusColour) note.label(kPlusButtonId)->setForeColour(*reaction.plusColour);
  if (reaction.closeColour) note.label(kCloseButtonId)->setForeColour(*reaction.closeColour);
  if (reaction.pointer) note.pointerShape().set(*reaction.pointer, note.control(controlId));
  switch (reaction.action) {
    case Action::None: break;
    case Action::DragWindow:
      // The system moves the window with the pointer, as if the title were a caption bar.
      ::ReleaseCapture();
      ::SendMessageW(note.hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
      break;
    case Action::NewNote: note.newNote(); break;
    case Action::CloseNote: note.deleteNote(); break;
    case Action::BeginTitleEdit: note.beginTitleEdit(); break;
    case Action::CommitTitle: note.commitTitle(); break;
    case Action::ShowMenu: ShowMenu(note, controlId, event); break;
    case Action::ResizeByGrip: ResizeByGrip(note, event); break;
    case Action::RestoreDefaultSize:
      note.setWidth(kDefaultNoteSide);
      note.setHeight(kDefaultNoteSide);
      break;
  }
  return reaction.swallow;
}

void RunFontShortcut(NoteWindow& note, const MSG& message) {
  if (message.message != WM_KEYDOWN) return;
  if (message.hwnd != note.hwnd() && !::IsChild(note.hwnd(), message.hwnd)) return;
  const int step = FontShortcutStep(static_cast<int>(message.wParam), win::HeldModifiers());
  if (step > 0) note.menu().growFont();
  if (step < 0) note.menu().shrinkFont();
}

}  // namespace stickwell::note
