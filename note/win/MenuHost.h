#pragma once
// The menu host: never shown, it carries the note's popup menu. The menu's check marks and
// the lock item's caption are the state they show; nothing else keeps a copy of them.
#include <windows.h>

#include <array>
#include <string>

#include "note/core/MenuState.h"
#include "shared/win/WinHandles.h"

namespace stickwell::note {

class NoteWindow;

class MenuHost {
 public:
  explicit MenuHost(NoteWindow& note);
  MenuHost(const MenuHost&) = delete;
  MenuHost& operator=(const MenuHost&) = delete;

  // Shows the popup menu at a screen point, waits for the user and runs the item picked, if any.
  void popup(POINT screen);
  // Runs an item's command as if the user had picked it.
  void run(MenuItem item);

  // 变大 and 变小: the body's font one point larger or smaller (Ctrl+Up and Ctrl+Down run them too).
  void growFont();
  void shrinkFont();

  // The lock item's caption: "锁定" while the note is unlocked, "解锁" while it is locked.
  std::wstring lockCaption() const;
  bool isLocked() const;

 private:
  MenuMarks marks() const;
  void show(const MenuMarks& marks);
  void applyScheme(const Scheme& scheme);

  NoteWindow& note_;
  win::UniqueMenu menu_;  // submenus go with it
  std::array<bool, kMenuItemCount> hasCommand_{};  // the items that can be picked (not the separator, not submenus)
};

}  // namespace stickwell::note
