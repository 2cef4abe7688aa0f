#include "note/win/MenuHost.h"

#include "note/core/FontSize.h"
#include "note/win/ControlIds.h"
#include "note/win/NoteWindow.h"
#include "note/win/OpenNote.h"
#include "shared/win/WideText.h"

namespace stickwell::note {
namespace {

// Menu command ids: never 0, which is what the menu answers when nothing was picked.
constexpr UINT kFirstCommand = 0x100;

UINT CommandOf(MenuItem item) { return kFirstCommand + static_cast<UINT>(item); }

bool IsItem(UINT command) { return command >= kFirstCommand && command < kFirstCommand + kMenuItemCount; }

}  // namespace

MenuHost::MenuHost(NoteWindow& note) : note_(note), menu_(::CreatePopupMenu()) {
  HMENU menu = menu_.get();
  HMENU submenu = nullptr;
  for (const MenuEntry& entry : MenuTree()) {
    const std::wstring caption = win::Wide(entry.caption);
    switch (entry.kind) {
      case MenuEntry::Kind::Separator:
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuEntry::Kind::Submenu:
        submenu = ::CreatePopupMenu();
        ::AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), caption.c_str());
        break;
      case MenuEntry::Kind::Command:
      case MenuEntry::Kind::SubmenuCommand:
        ::AppendMenuW(entry.kind == MenuEntry::Kind::Command ? menu : submenu, MF_STRING, CommandOf(entry.item),
                      caption.c_str());
        hasCommand_[static_cast<std::size_t>(entry.item)] = true;
        break;
    }
  }
  show(InitialMarks());
}

void MenuHost::popup(POINT screen) {
  // Only the left button picks an item: the right button that opened the menu is still going up.
  const UINT command = static_cast<UINT>(::TrackPopupMenuEx(
      menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, screen.x, screen.y,
      note_.hwnd(), nullptr));
  if (IsItem(command)) run(static_cast<MenuItem>(command - kFirstCommand));
}

void MenuHost::run(MenuItem item) {
  MenuMarks marks = this->marks();
  const MenuCommand command = Pick(item, marks);
  show(marks);
  using Action = MenuCommand::Action;
  switch (command.action) {
    case Action::None: break;
    case Action::OpenNote: OpenNoteFile(note_); break;
    case Action::Clear:
      note_.setTitle(L"");
      note_.setBody(L"");
      note_.setTitleEditorText(L"");
      break;
    case Action::GrowFont: growFont(); break;
    case Action::ShrinkFont: shrinkFont(); break;
    case Action::SetTextColour: note_.setBodyColours(note_.bodyColours().back(), command.textColour); break;
    case Action::SetScheme: applyScheme(command.scheme); break;
    case Action::CheckForUpdates: note_.checkForUpdates(); break;
    case Action::OpenOfficialSite: note_.openOfficialSite(); break;
  }
}

void MenuHost::growFont() { note_.setBodyFontSize(SteppedBodyPoints(note_.bodyFontSize(), +1)); }
void MenuHost::shrinkFont() { note_.setBodyFontSize(SteppedBodyPoints(note_.bodyFontSize(), -1)); }

std::wstring MenuHost::lockCaption() const {
  wchar_t caption[64] = {};
  ::GetMenuStringW(menu_.get(), CommandOf(MenuItem::Lock), caption, static_cast<int>(std::size(caption)), MF_BYCOMMAND);
  return caption;
}

bool MenuHost::isLocked() const { return IsLocked(win::U16(lockCaption())); }

MenuMarks MenuHost::marks() const {
  MenuMarks marks;
  for (std::size_t i = 0; i < kMenuItemCount; ++i) {
    if (!hasCommand_[i]) continue;
    const UINT state = ::GetMenuState(menu_.get(), CommandOf(static_cast<MenuItem>(i)), MF_BYCOMMAND);
    marks.checked[i] = state != static_cast<UINT>(-1) && (state & MF_CHECKED);
  }
  marks.lockCaption = win::U16(lockCaption());
  return marks;
}

void MenuHost::show(const MenuMarks& marks) {
  for (std::size_t i = 0; i < kMenuItemCount; ++i) {
    if (!hasCommand_[i]) continue;
    ::CheckMenuItem(menu_.get(), CommandOf(static_cast<MenuItem>(i)),
                    MF_BYCOMMAND | (marks.checked[i] ? MF_CHECKED : MF_UNCHECKED));
  }
  if (win::U16(lockCaption()) != marks.lockCaption) {
    std::wstring caption = win::Wide(marks.lockCaption);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = caption.data();
    ::SetMenuItemInfoW(menu_.get(), CommandOf(MenuItem::Lock), FALSE, &info);
  }
}

void MenuHost::applyScheme(const Scheme& scheme) {
  note_.setBackColour(scheme.header);
  for (int id : {kPlusButtonId, kCloseButtonId, kTitleId}) note_.label(id)->setBackColour(scheme.header);
  note_.label(kBodyFrameId)->setBackColour(scheme.body);
  note_.setBodyColours(scheme.body, note_.bodyColours().fore());
  for (int id : {kGripId, kStartTimeId, kSideStripId}) note_.label(id)->setBackColour(scheme.body);
}

}  // namespace stickwell::note
