#include "note/win/NoteContrast.h"

#include "note/win/NoteControls.h"
#include "shared/win/Contrast.h"

namespace stickwell::note {
namespace {

win::Colours Painted(ColourRole role, win::Colours chosen, bool highContrast) {
  const ColourPair painted = PaintedColours(role, {chosen.back, chosen.fore}, highContrast);
  return {painted.back, painted.fore};
}

template <ColourRole role>
win::Colours InContrast(win::Colours chosen) {
  return Painted(role, chosen, true);
}

}  // namespace

void ChooseContrast(NoteControls& controls) {
  controls.plusButton.setContrast(&InContrast<ColourRole::CornerButton>);
  controls.closeButton.setContrast(&InContrast<ColourRole::CornerButton>);
  for (win::Label* face : {&controls.title, &controls.grip, &controls.startTime, &controls.sideStrip})
    face->setContrast(&InContrast<ColourRole::Face>);
  // The frame's margin and the body are one page to write on.
  controls.bodyFrame.setContrast(&InContrast<ColourRole::Text>);
}

win::Colours PaintedNow(ColourRole role, win::Colours chosen) { return Painted(role, chosen, win::HighContrast()); }

}  // namespace stickwell::note
