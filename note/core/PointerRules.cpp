#include "note/core/PointerRules.h"

namespace stickwell::note {
namespace {

constexpr int kLeft = 1;
constexpr int kRight = 2;

using Action = PointerReaction::Action;

PointerReaction OverCaption(PointerInput event, bool locked) {
  if (event.kind != PointerKind::Move) return {};
  PointerReaction reaction;
  reaction.plusColour = reaction.closeColour = kAppWorkspaceColour;
  // Without the left button down the system's move loop would wait for a release that never comes.
  if ((event.buttons & kLeft) != 0 && !locked) reaction.action = Action::DragWindow;
  return reaction;
}

bool RightPress(PointerInput event) { return event.kind == PointerKind::Press && event.buttons == kRight; }

}  // namespace

PointerReaction ReactToPointer(NotePart part, PointerInput event, bool locked, std::uint32_t headerColour) {
  const bool move = event.kind == PointerKind::Move;
  PointerReaction reaction;
  switch (part) {
    case NotePart::BareArea:
      return OverCaption(event, locked);
    case NotePart::Title:
      if (move) return OverCaption(event, locked);
      if (event.kind == PointerKind::DoubleClick) reaction.action = Action::BeginTitleEdit;
      if (RightPress(event)) reaction.action = Action::ShowMenu;
      return reaction;
    case NotePart::PlusButton:
      if (move) reaction.plusColour = kRedText;
      if (event.kind == PointerKind::Click) reaction.action = Action::NewNote;
      return reaction;
    case NotePart::CloseButton:
      if (move) reaction.closeColour = kRedText;
      if (event.kind == PointerKind::Click) reaction.action = Action::CloseNote;
      return reaction;
    case NotePart::Body:
      if (move) {
        reaction.plusColour = reaction.closeColour = headerColour;
        reaction.pointer = ProgramPointer::Default;
      }
      if (event.kind == PointerKind::Click) reaction.action = Action::CommitTitle;
      if (RightPress(event)) {
        reaction.action = Action::ShowMenu;
        reaction.swallow = true;
      }
      return reaction;
    case NotePart::BodyFrame:
    case NotePart::StartTime:
    case NotePart::SideStrip:
      if (move) reaction.pointer = ProgramPointer::Default;
      return reaction;
    case NotePart::Grip:
      if (move) {
        reaction.pointer = ProgramPointer::SizingArrow;
        // Any button held sizes the window, not only the left one.
        if (event.buttons != 0) reaction.action = Action::ResizeByGrip;
      }
      if (event.kind == PointerKind::DoubleClick) reaction.action = Action::RestoreDefaultSize;
      return reaction;
    case NotePart::TitleEditor:
      return reaction;
  }
  return reaction;
}

std::optional<float> GripProposal(float current, float offset) {
  constexpr float kLeastProposal = 500;  // a side of 500 twips or less is no size the grip asks for
  const float proposed = current + offset;
  if (proposed > kLeastProposal) return proposed;
  return std::nullopt;
}

ContextMenuAnswer AnswerContextMenu(NotePart part, bool fromKeyboard) {
  if (part != NotePart::Body && part != NotePart::TitleEditor) return ContextMenuAnswer::PassOn;
  if (fromKeyboard) return ContextMenuAnswer::NoteMenuAtCaret;
  return part == NotePart::Body ? ContextMenuAnswer::Swallow : ContextMenuAnswer::PassOn;
}

}  // namespace stickwell::note
