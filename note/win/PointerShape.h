#pragma once
// One pointer shape for the whole note: while it is set, it replaces the pointer of every control; at
// its default every control shows its own. It changes only when a pointer handler sets it.
#include <windows.h>

namespace stickwell::note {

class PointerShape {
 public:
  enum class Shape { Default, SizeNorthWestSouthEast };

  // Sets the shape; the pointer shows it at once over `under`, the control the pointer is on.
  void set(Shape shape, HWND under);
  Shape shape() const { return shape_; }

  // Answers WM_SETCURSOR for any control of the note: true when the shape replaces the control's own.
  bool apply() const;

 private:
  Shape shape_ = Shape::Default;
};

}  // namespace stickwell::note
