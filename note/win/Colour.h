#pragma once
// The note's own colours, before a scheme from the menu changes them.
#include "shared/win/Colour.h"

namespace stickwell::note {

inline constexpr win::ColourValue kYellow = 0x0000FFFFu;      // the title row
inline constexpr win::ColourValue kPaleYellow = 0x0080FFFFu;  // the body

}  // namespace stickwell::note
