#pragma once
// Where the pointer is against the note window, in screen pixels as the system reports both. The
// window's right and bottom lie one past its last column and row, and a pointer on any of the four
// border lines counts as neither outside nor inside: the note neither saves nor hides its buttons
// there, and a docked note slides out of sight.

namespace stickwell::note {

struct PixelRect {
  long left = 0, top = 0, right = 0, bottom = 0;
};

struct PixelPoint {
  long x = 0, y = 0;
};

enum class PointerPlace {
  Outside,   // beyond a border line: left of it, right of it, above or below
  OnBorder,  // on a border line, within the other direction's range
  Inside,    // strictly between the border lines in both directions
};

PointerPlace PlaceOfPointer(const PixelRect& window, const PixelPoint& pointer);

}  // namespace stickwell::note
