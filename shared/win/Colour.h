#pragma once
// Colour values as the programs keep them: 0x00BBGGRR, or a system colour by index when the high bit
// is set (0x8000000C is the application-workspace colour), looked up only when drawn so that it
// follows the system's scheme.
#include <windows.h>

#include <cstdint>

namespace stickwell::win {

using ColourValue = std::uint32_t;

inline constexpr ColourValue kSystemColour = 0x80000000u;
inline constexpr ColourValue kAppWorkspace = kSystemColour | COLOR_APPWORKSPACE;
inline constexpr ColourValue kWindowText = kSystemColour | COLOR_WINDOWTEXT;
inline constexpr ColourValue kWindowBack = kSystemColour | COLOR_WINDOW;
inline constexpr ColourValue kButtonFace = kSystemColour | COLOR_BTNFACE;
inline constexpr ColourValue kButtonText = kSystemColour | COLOR_BTNTEXT;

// A background and the text on it.
struct Colours {
  ColourValue back = 0;
  ColourValue fore = 0;
};

inline COLORREF Resolve(ColourValue value) {
  if (value & kSystemColour) return ::GetSysColor(static_cast<int>(value & 0xFFu));
  return static_cast<COLORREF>(value & 0x00FFFFFFu);
}

}  // namespace stickwell::win
