#include "note/core/NoteKeys.h"

namespace stickwell::note {

KeyAnswer AnswerKey(NotePart focus, int keyCode, int modifiers) {
  constexpr int kNone = 0, kCtrl = 2, kAlt = 4;
  // Exactly the modifiers named, as for the font-size keys: Ctrl+Shift+N and Alt+N are not Ctrl+N.
  if (keyCode == kKeyN && modifiers == kCtrl) return KeyAnswer::NewNote;
  if (keyCode == kKeySpace && modifiers == kAlt) return KeyAnswer::WindowMenu;
  // In the editor F2 has nothing more to open.
  if (keyCode == kKeyF2 && modifiers == kNone && focus != NotePart::TitleEditor) return KeyAnswer::BeginTitleEdit;
  // In the body Enter stays a line break.
  if (keyCode == kKeyReturn && modifiers == kNone && focus == NotePart::TitleEditor) return KeyAnswer::CommitTitle;
  return KeyAnswer::PassOn;
}

std::array<WindowMenuItem, 2> WindowMenu(bool locked) {
  return {WindowMenuItem{Placing::Move, u"移动(&M)", !locked}, WindowMenuItem{Placing::Size, u"大小(&S)", true}};
}

PlacingStep PlacingKey(int keyCode) {
  using Action = PlacingStep::Action;
  switch (keyCode) {
    case kKeyLeft: return {Action::Shift, -kPlacingStep, 0};
    case kKeyRight: return {Action::Shift, kPlacingStep, 0};
    case kKeyUpArrow: return {Action::Shift, 0, -kPlacingStep};
    case kKeyDownArrow: return {Action::Shift, 0, kPlacingStep};
    case kKeyReturn: return {Action::Keep};
    case kKeyEscape: return {Action::Return};
    default: return {};
  }
}

}  // namespace stickwell::note
