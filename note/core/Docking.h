#pragma once
// Docking at the desktop's edges. A note that touches or crosses the right, top or left edge of the
// desktop hides beyond it, leaving a thin strip, while the pointer is away, and comes back as soon as
// the pointer is inside it. Nothing is remembered: whether a note is docked, shown or hidden follows
// from where it is, so dragging it into an edge docks it and dragging it clear frees it.
#include <optional>

#include "note/core/PointerPlace.h"

namespace stickwell::note {

// Twips, single precision, like the window's own place and size.
struct WindowTwips {
  float left = 0, top = 0, width = 0, height = 0;
};

// The bounding rectangle of all monitors, in twips. With several monitors a note docks only at the
// outer edges of the whole desktop, never in its middle where two monitors meet.
struct DesktopEdges {
  float left = 0, top = 0, right = 0;
};

struct TwipPoint {
  float left = 0, top = 0;
  friend bool operator==(const TwipPoint&, const TwipPoint&) = default;
};

inline constexpr float kDockStrip = 50;     // what a hidden note leaves on screen
inline constexpr float kDockOverhang = 10;  // how far a shown note reaches beyond the edge

// Where the window goes on this tick, or nothing when it stays where it is. The right edge wins over
// the top and the top over the left; only one coordinate moves; the bottom edge does not dock; a
// locked note never moves. The answer may equal the window's present place (a shown note stays shown).
std::optional<TwipPoint> DockAtEdge(const WindowTwips& window, PointerPlace pointer, const DesktopEdges& desktop,
                                    bool locked);

}  // namespace stickwell::note
