#pragma once
// The note in a high-contrast theme: each part shows the system colours of its role (ContrastColours)
// while the colours the menu and the pointer choose stay in the controls, to show again when the theme
// goes off.
#include "note/core/ContrastColours.h"
#include "shared/win/Colour.h"

namespace stickwell::note {

class NoteControls;

// Gives each label of the note the colours of its role for a high-contrast theme.
void ChooseContrast(NoteControls& controls);

// The colours to paint with now, from the ones chosen for a part of this role.
win::Colours PaintedNow(ColourRole role, win::Colours chosen);

}  // namespace stickwell::note
