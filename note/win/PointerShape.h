#pragma once
// One pointer shape for the whole note: while it is set, it replaces the pointer of every control; at
// its default every control shows its own. It changes only when a pointer rule sets it.
#include <windows.h>

#include "note/core/PointerRules.h"

namespace stickwell::note {

class PointerShape {
 public:
  // Sets the shape; the pointer shows it at once over `under`, the control the pointer is on.
  void set(ProgramPointer shape, HWND under);

  // Answers WM_SETCURSOR for any control of the note: true when the shape replaces the control's own.
  bool apply() const;

 private:
  ProgramPointer shape_ = ProgramPointer::Default;
};

}  // namespace stickwell::note
