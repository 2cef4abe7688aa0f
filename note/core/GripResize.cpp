#include "note/core/GripResize.h"

namespace stickwell::note {

std::optional<float> GripProposal(float current, float offset) {
  constexpr float kLeastProposal = 500;  // a side of 500 twips or less is no size the grip asks for
  const float proposed = current + offset;
  if (proposed > kLeastProposal) return proposed;
  return std::nullopt;
}

}  // namespace stickwell::note
