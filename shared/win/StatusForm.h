#pragma once
// What the note's update check and the updater's download window share: a small frameless window
// centred on the work area, whose blue background is transparent, showing a status line over a
// progress bar.
#include <windows.h>

namespace stickwell::win {

// Gives the frameless `window` a client area of `clientTwips` and centres it on the work area.
void CentreOnWorkArea(HWND window, SIZE clientTwips);

// A visible child control of `parent` with the control id `id`, at `twips` (left, top, right, bottom).
HWND CreateChildAtTwips(HWND parent, const wchar_t* className, DWORD style, int id, const RECT& twips);

// Tahoma 10.5 pt for the status line, without edge smoothing: smoothed letters would blend into the
// transparent blue and leave a blue fringe on the desktop. The caller owns the font.
HFONT CreateStatusFont(HWND window);

}  // namespace stickwell::win
