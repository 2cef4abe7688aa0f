#pragma once
// Seeing a control's messages before the control does. Classic subclassing: it needs no common
// controls library, so a window that uses it does not load one.
#include <windows.h>

namespace stickwell::win {

// `procedure` receives every message of `control` with `id` and `data`; it passes a message on with
// CallSubclassedControl. It sees WM_NCDESTROY too; the control gets that message exactly once, passed
// on or not, and the subclass ends with it.
using SubclassProcedure = LRESULT(CALLBACK*)(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR data);
bool SubclassControl(HWND control, SubclassProcedure procedure, UINT_PTR id, DWORD_PTR data);

// The control's own handling of a message.
LRESULT CallSubclassedControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace stickwell::win
