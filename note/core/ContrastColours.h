#pragma once
// The colours each part of the note is painted with. Normally the ones the note chose: its scheme, its
// text colour, the hover colours of "+" and "x". In a high-contrast theme, the system's colours of the
// part's role instead, so that the theme's own pairs of background and text show and no fixed colour
// ever meets a system one (white text on yellow in "High Contrast Black"). The chosen colours stay
// where they are meanwhile, so the menu goes on choosing and its choice shows when the theme goes off.
#include <cstdint>

namespace stickwell::note {

// Colours are 0x00BBGGRR; with the high bit set, a system colour by index, looked up when drawn.
struct ColourPair {
  std::uint32_t back = 0;
  std::uint32_t fore = 0;
  friend bool operator==(const ColourPair&, const ColourPair&) = default;
};

inline constexpr std::uint32_t kSystemWindow = 0x80000005;      // COLOR_WINDOW
inline constexpr std::uint32_t kSystemWindowText = 0x80000008;  // COLOR_WINDOWTEXT
inline constexpr std::uint32_t kSystemHighlight = 0x8000000D;   // COLOR_HIGHLIGHT
inline constexpr std::uint32_t kSystemButtonFace = 0x8000000F;  // COLOR_BTNFACE
inline constexpr std::uint32_t kSystemButtonText = 0x80000012;  // COLOR_BTNTEXT

enum class ColourRole {
  Text,          // the body, its frame and the title editor: a page to write on
  Face,          // the window's bare area, the title, the grip and the two strips
  CornerButton,  // "+" and "x": hidden in their background, shown, or under the pointer
};

ColourPair PaintedColours(ColourRole role, ColourPair chosen, bool highContrast);

}  // namespace stickwell::note
