#pragma once
// Carries out the note's keys (note/core/NoteKeys.h): Ctrl+N, F2, Enter in the title editor, and the
// window menu on Alt+Space whose 移动 and 大小 let the arrow keys place the window until Enter keeps
// the place or Esc returns it to where it was.
#include <windows.h>

#include <optional>

#include "note/core/NoteKeys.h"

namespace stickwell::note {

class NoteWindow;

class NoteKeys {
 public:
  explicit NoteKeys(NoteWindow& note) : note_(note) {}
  NoteKeys(const NoteKeys&) = delete;
  NoteKeys& operator=(const NoteKeys&) = delete;

  // Sees every message of the program before it is dispatched; true when it was a key the note took.
  bool beforeDispatch(const MSG& message);

 private:
  void showWindowMenu();
  void beginPlacing(Placing placing);
  void place(const PlacingStep& step);
  void endPlacing();

  NoteWindow& note_;
  std::optional<Placing> placing_;
  RECT placingFrom_{};  // where the window was when the placing began
};

}  // namespace stickwell::note
