#include "note/core/ContrastColours.h"

#include "note/core/PointerRules.h"

namespace stickwell::note {

ColourPair PaintedColours(ColourRole role, ColourPair chosen, bool highContrast) {
  if (!highContrast) return chosen;
  switch (role) {
    case ColourRole::Text: return {kSystemWindow, kSystemWindowText};
    case ColourRole::Face: return {kSystemButtonFace, kSystemButtonText};
    case ColourRole::CornerButton:
      // The pointer rules hide a button by giving it its background's colour, and show the one under
      // the pointer in red.
      if (chosen.fore == chosen.back) return {kSystemButtonFace, kSystemButtonFace};
      if (chosen.fore == kRedText) return {kSystemButtonFace, kSystemHighlight};
      return {kSystemButtonFace, kSystemButtonText};
  }
  return chosen;
}

}  // namespace stickwell::note
