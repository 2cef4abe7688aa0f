#pragma once
// The note's watcher, the watch timer: every 100 ms for the whole run it compares the pointer with the window
// and the window with the desktop. While the pointer is outside the note it hides "+" and "x" and
// writes the note file, so the file follows the typing closely; an unlocked note docks at the
// desktop's right, top or left edge; and a new updater left by an update is put in place.
#include <windows.h>

#include "note/core/PointerPlace.h"
#include "note/win/Handoff.h"

namespace stickwell::note {

class NoteWindow;

class Watcher {
 public:
  static constexpr UINT_PTR kTimerId = 1;
  static constexpr UINT kIntervalMs = 100;

  explicit Watcher(NoteWindow& note) : note_(note) {}

  // Starts the timer; it is never stopped.
  void start();
  // One tick, on WM_TIMER with kTimerId.
  void tick();
  // The system's move or size loop (a drag of the window) begins or ends.
  void onMoveLoop(bool running) { inMoveLoop_ = running; }

 private:
  void dock(const RECT& window, PointerPlace pointer);

  NoteWindow& note_;
  Handoff handoff_;
  bool ticking_ = false;
  bool inMoveLoop_ = false;
};

}  // namespace stickwell::note
