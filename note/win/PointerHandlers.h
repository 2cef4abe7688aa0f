#pragma once
// How the note answers the pointer over its controls and the font-size keys: the window drag, the
// hover colours of "+" and "x", the pointer shape, the resize grip, title editing and the popup menu.
#include <windows.h>

#include "shared/win/PointerEvent.h"

namespace stickwell::note {

class NoteWindow;

// A pointer event over a control of the note (or its bare area, kFormId).
void HandlePointer(NoteWindow& note, int controlId, const win::PointerEvent& event);

// Ctrl+Up and Ctrl+Down make the body's font a point larger or smaller, whichever control of the note
// has the keyboard. The key is only looked at: it still goes on to that control.
void RunFontShortcut(NoteWindow& note, const MSG& message);

}  // namespace stickwell::note
