#pragma once
// Finding the programs' windows and reading what they show.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

inline constexpr wchar_t kFormClass[] = L"ThunderRT6FormDC";
inline constexpr wchar_t kNoteCaption[] = L"Stickwell";
inline constexpr wchar_t kUpdaterCaption[] = L"Stickwell 更新程序";

std::wstring ClassOf(HWND window);
// The caption as the window manager holds it (never sends a message to a hung window).
std::wstring CaptionOf(HWND window);
DWORD ProcessOf(HWND window);

// Visible or hidden top-level windows with exactly this class and caption; of one process when
// `processId` is not 0.
std::vector<HWND> TopLevelWindows(const wchar_t* className, const wchar_t* caption, DWORD processId = 0);

// Waits for such a window to appear; nullptr after the limit.
HWND WaitForWindow(const wchar_t* className, const wchar_t* caption, DWORD processId = 0,
                   DWORD timeoutMs = 15000);
// Waits until no such window exists.
bool WaitForNoWindow(const wchar_t* className, const wchar_t* caption, DWORD processId = 0,
                     DWORD timeoutMs = 15000);

// Child windows, depth-first in creation order, optionally of one class.
std::vector<HWND> Children(HWND parent, const wchar_t* className = nullptr);

// Message boxes and other dialogs (class "#32770") of a process, visible ones only.
std::vector<HWND> DialogsOf(DWORD processId);
HWND WaitForDialog(DWORD processId, const std::wstring& title, DWORD timeoutMs = 15000);
// All static texts of a dialog joined by "\n" (the message of a message box).
std::wstring DialogText(HWND dialog);
// Presses the dialog's button with this id (IDOK, IDCANCEL, IDYES, IDNO).
bool PressDialogButton(HWND dialog, int buttonId);

// A control's text through WM_GETTEXT, with a time limit.
std::wstring TextOf(HWND window);
RECT WindowRectOf(HWND window);
RECT ClientRectOnScreen(HWND window);
bool IsShown(HWND window);

// A small visible top-level window of the test's own with this class and caption, at (x, y): a
// stand-in for another program's window. The caller destroys it.
HWND OpenOwnWindow(const wchar_t* className, const wchar_t* caption, int x, int y);

}  // namespace e2e
