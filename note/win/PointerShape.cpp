#include "note/win/PointerShape.h"

namespace stickwell::note {

void PointerShape::set(ProgramPointer shape, HWND under) {
  const bool changed = shape != shape_;
  shape_ = shape;
  if (apply() || !changed) return;
  // Back to the control's own pointer without waiting for the next move.
  ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

bool PointerShape::apply() const {
  if (shape_ == ProgramPointer::Default) return false;
  ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENWSE));
  return true;
}

}  // namespace stickwell::note
