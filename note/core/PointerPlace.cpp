#include "note/core/PointerPlace.h"

namespace stickwell::note {

PointerPlace PlaceOfPointer(const PixelRect& w, const PixelPoint& p) {
  if (p.y < w.top || p.y > w.bottom || p.x < w.left || p.x > w.right) return PointerPlace::Outside;
  if (w.top < p.y && p.y < w.bottom && w.left < p.x && p.x < w.right) return PointerPlace::Inside;
  return PointerPlace::OnBorder;
}

}  // namespace stickwell::note
