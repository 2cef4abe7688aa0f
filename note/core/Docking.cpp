#include "note/core/Docking.h"

namespace stickwell::note {

std::optional<TwipPoint> DockAtEdge(const WindowTwips& w, PointerPlace pointer, const DesktopEdges& desktop,
                                    bool locked) {
  if (locked) return std::nullopt;
  // Only a pointer strictly inside keeps the note out; one on the border line lets it hide.
  const bool shown = pointer == PointerPlace::Inside;
  // Every sum is rounded to single precision on its own, as the window's own values are.
  const float rightSide = w.left + w.width;
  if (rightSide >= desktop.right) {
    const float left = shown ? desktop.right - w.width + kDockOverhang : desktop.right - kDockStrip;
    return TwipPoint{left, w.top};
  }
  if (w.top <= desktop.top) {
    const float top = shown ? desktop.top - kDockOverhang : desktop.top + kDockStrip - w.height;
    return TwipPoint{w.left, top};
  }
  if (w.left <= desktop.left) {
    const float left = shown ? desktop.left - kDockOverhang : desktop.left + kDockStrip - w.width;
    return TwipPoint{left, w.top};
  }
  return std::nullopt;
}

}  // namespace stickwell::note
