#pragma once
// One tick of the note's watcher, every 100 ms for the whole run: with the pointer outside the note,
// "+" and "x" hide and the note reaches its file; an unlocked note docks at the desktop's edges. A note
// typed into with the pointer resting on it reaches its file at the first pause in the typing, and
// every few seconds while the typing goes on without one.
// Nothing is kept between ticks: each one decides afresh from where the pointer and the window are
// and how long ago the text last changed.
#include <cstdint>
#include <optional>

#include "note/core/Docking.h"
#include "note/core/PointerPlace.h"

namespace stickwell::note {

// How long the text has waited for the file: since its last change, and since the first change that
// the file does not have yet.
struct UnsavedText {
  std::uint64_t sinceLastChangeMs = 0;
  std::uint64_t sinceFirstChangeMs = 0;
};

struct TickSight {
  PixelRect windowPixels;  // the window and the pointer as the system reports them
  PixelPoint pointer;
  bool locked = false;
  bool dragging = false;  // the system's move loop is placing the window
  WindowTwips window;     // the same window, for docking
  DesktopEdges desktop;
  // The title editor's or the body's text changed and the file does not have it yet.
  std::optional<UnsavedText> unsaved;
};

// A pause in the typing this long saves the note while the pointer rests on it: a crash or a power cut
// then takes a sentence at most, and a note is not written at every keystroke.
inline constexpr std::uint64_t kTypingPauseMs = 2000;
// Someone who types on without such a pause still loses no more than this much of it.
inline constexpr std::uint64_t kLongestUnsavedMs = 10000;

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
