#include "note/core/WatchTick.h"

namespace stickwell::note {

TickPlan PlanTick(const TickSight& sight) {
  const PointerPlace pointer = PlaceOfPointer(sight.windowPixels, sight.pointer);
  TickPlan plan;
  plan.hideCornerButtons = pointer == PointerPlace::Outside;
  const auto& unsaved = sight.unsaved;
  plan.writeIfChanged = plan.hideCornerButtons || (unsaved && (unsaved->sinceLastChangeMs >= kTypingPauseMs ||
                                                               unsaved->sinceFirstChangeMs >= kLongestUnsavedMs));
  if (!sight.dragging) plan.dockTo = DockAtEdge(sight.window, pointer, sight.desktop, sight.locked);
  return plan;
}

}  // namespace stickwell::note
