#include "note/win/NoteKeys.h"

#include "note/win/ControlIds.h"
#include "note/win/NoteWindow.h"
#include "shared/win/PointerEvent.h"
#include "shared/win/WideText.h"
#include "shared/win/WinHandles.h"

namespace stickwell::note {
namespace {

// Window menu command ids: never 0, which is what the menu answers when nothing was picked.
constexpr UINT kMoveCommand = 1;
constexpr UINT kSizeCommand = 2;

bool IsKey(UINT message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; }

bool IsPress(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool NoteKeys::beforeDispatch(const MSG& message) {
  // Every message passes here: the cheap test first.
  if (!placing_ && !IsKey(message.message)) return false;
  const HWND form = note_.hwnd();
  if (message.hwnd != form && !::IsChild(form, message.hwnd)) return false;
  if (placing_) {
    // A click, or another window taken to the front, keeps the place as it is, as Enter does.
    if (IsPress(message.message) || ::GetActiveWindow() != form) {
      endPlacing();
      return false;
    }
    if (!IsKey(message.message)) return false;
    place(PlacingKey(static_cast<int>(message.wParam)));
    return true;
  }
  const NotePart focus = message.hwnd == note_.control(kBodyId)          ? NotePart::Body
                         : message.hwnd == note_.control(kTitleEditorId) ? NotePart::TitleEditor
                                                                          : NotePart::BareArea;
  switch (AnswerKey(focus, static_cast<int>(message.wParam), win::HeldModifiers())) {
    case KeyAnswer::PassOn: return false;
    case KeyAnswer::NewNote: note_.newNote(); return true;
    case KeyAnswer::BeginTitleEdit: note_.beginTitleEdit(); return true;
    case KeyAnswer::CommitTitle:
      note_.commitTitle();
      ::SetFocus(note_.control(kBodyId));  // the keys go back to the body
      return true;
    case KeyAnswer::WindowMenu: showWindowMenu(); return true;
  }
  return false;
}

void NoteKeys::showWindowMenu() {
  const win::UniqueMenu menu(::CreatePopupMenu());
  for (const WindowMenuItem& item : WindowMenu(note_.isLocked())) {
    ::AppendMenuW(menu.get(), MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED),
                  item.placing == Placing::Move ? kMoveCommand : kSizeCommand, win::Wide(item.caption).c_str());
  }
  // Where a window's own menu opens: at its top-left corner.
  RECT window;
  ::GetWindowRect(note_.hwnd(), &window);
  const UINT command = static_cast<UINT>(::TrackPopupMenuEx(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                                            window.left, window.top, note_.hwnd(), nullptr));
  if (command == kMoveCommand) beginPlacing(Placing::Move);
  if (command == kSizeCommand) beginPlacing(Placing::Size);
}

void NoteKeys::beginPlacing(Placing placing) {
  // The lock stops the keys' move as it stops the pointer's drag.
  if (placing == Placing::Move && note_.isLocked()) return;
  placing_ = placing;
  ::GetWindowRect(note_.hwnd(), &placingFrom_);
  // As during a drag, the watcher docks the note only once it has been let go.
  ::SendMessageW(note_.hwnd(), WM_ENTERSIZEMOVE, 0, 0);
}

void NoteKeys::place(const PlacingStep& step) {
  using Action = PlacingStep::Action;
  switch (step.action) {
    case Action::Swallow: return;
    case Action::Shift:
      if (*placing_ == Placing::Move) return note_.moveTo(note_.left() + step.dx, note_.top() + step.dy);
      // The layout keeps the least size, as it does for the grip.
      if (step.dx != 0) note_.setWidth(note_.width() + step.dx);
      if (step.dy != 0) note_.setHeight(note_.height() + step.dy);
      return;
    case Action::Return: {
      const RECT& from = placingFrom_;
      ::SetWindowPos(note_.hwnd(), nullptr, from.left, from.top, from.right - from.left, from.bottom - from.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      return endPlacing();
    }
    case Action::Keep: return endPlacing();
  }
}

void NoteKeys::endPlacing() {
  placing_.reset();
  ::SendMessageW(note_.hwnd(), WM_EXITSIZEMOVE, 0, 0);
}

}  // namespace stickwell::note
