#pragma once
// The resize grip in the note's bottom-right corner. Sizes are twips.
#include <optional>

namespace stickwell::note {

// A double-click on the grip gives the note this width and height, which is also its least size.
inline constexpr float kDefaultNoteSide = 3000;

// A pointer move over the grip with a button held, `offset` twips right of (or below) the grip's
// top-left corner: the window's width (or height) becomes `current` + `offset`, but only when that is
// above 500 twips; otherwise that side stays as it is. The layout then raises anything below the
// least size. Computed in single precision, as the window's sizes are held.
std::optional<float> GripProposal(float current, float offset);

}  // namespace stickwell::note
