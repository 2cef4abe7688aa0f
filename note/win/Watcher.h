#pragma once
// The note's watcher, the watch timer: every 100 ms for the whole run it compares the pointer with the
// window and the window with the desktop (the decisions are PlanTick's). While the pointer is outside
// the note it hides "+" and "x" and keeps the note file up to date; an unlocked note docks at the
// desktop's right, top or left edge; and a new updater left by an update is put in place.
#include <windows.h>

#include <optional>

#include "note/core/Docking.h"
#include "note/win/Handoff.h"

namespace stickwell::note {

class NoteWindow;

class Watcher {
 public:
  static constexpr UINT_PTR kWatchTimerId = 1;
  static constexpr UINT kIntervalMs = 100;

  explicit Watcher(NoteWindow& note) : note_(note) {}

  // Starts the watch timer; it is never stopped.
  void start();
  // One tick, on WM_TIMER with kWatchTimerId.
  void tick();
  // The system's move or size loop (a drag of the window) begins or ends.
  void onMoveLoop(bool running) { inMoveLoop_ = running; }
  // The monitors, their arrangement or the window's DPI changed: the desktop's edges are read anew.
  void onDisplayChange() { desktopKnown_ = false; }
  // The body's or the title editor's text changed.
  void onTextChanged();

 private:
  void dock(const RECT& window, const TwipPoint& place);

  NoteWindow& note_;
  Handoff handoff_;
  bool ticking_ = false;
  bool inMoveLoop_ = false;
  // The desktop's edges stay as they are until the display changes; reading them costs several
  // round trips to the window system under Wine, too many for every tick.
  bool desktopKnown_ = false;
  DesktopEdges desktop_;
  // When the text first and last changed, until a save of the watcher's own has it in the file (or
  // found it there): a save that failed is tried again on every tick.
  struct Changes {
    ULONGLONG first;
    ULONGLONG last;
  };
  std::optional<Changes> unsaved_;
};

}  // namespace stickwell::note
