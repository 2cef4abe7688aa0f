#pragma once
// One tick of the note's watcher, every 100 ms for the whole run: with the pointer outside the note,
// "+" and "x" hide and the note reaches its file; an unlocked note docks at the desktop's edges. A note
// typed into with the pointer resting on it reaches its file at the first pause in the typing.
// Nothing is kept between ticks: each one decides afresh from where the pointer and the window are
// and how long ago the text last changed.
#include <cstdint>
#include <optional>

#include "note/core/Docking.h"
#include "note/core/PointerPlace.h"

namespace stickwell::note {

struct TickSight {
  PixelRect windowPixels;  // the window and the pointer as the system reports them
  PixelPoint pointer;
  bool locked = false;
  bool dragging = false;  // the system's move loop is placing the window
  WindowTwips window;     // the same window, for docking
  DesktopEdges desktop;
  // How long ago the title editor's or the body's text last changed, when that change has not been
  // saved yet.
  std::optional<std::uint64_t> unsavedForMs;
};

// A pause in the typing this long saves the note while the pointer rests on it: a crash or a power cut
// then takes a sentence at most, and a note is not written at every keystroke.
inline constexpr std::uint64_t kTypingPauseMs = 2000;

struct TickPlan {
  bool hideCornerButtons = false;  // "+" and "x" in the window's own colour
  bool writeIfChanged = false;     // see NeedsWrite
  std::optional<TwipPoint> dockTo;
  friend bool operator==(const TickPlan&, const TickPlan&) = default;
};

// A pointer on the window's border lines is neither outside nor inside: nothing hides, nothing is
// written but after a pause in the typing, and a docked note slides out of sight. While the user drags
// the note the move loop places it: moving it from a tick as well would pull it from under the pointer,
// so it docks after the drag.
TickPlan PlanTick(const TickSight& sight);

}  // namespace stickwell::note
