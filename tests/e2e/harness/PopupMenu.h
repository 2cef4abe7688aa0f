#pragma once
// The programs' popup menus (window class "#32768") and the system's open-file dialog, driven as a
// user does. Another process's menu cannot be read through its handle, so a menu is checked by what
// it shows: its picture against that of a menu the test builds itself from the expected items.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Visible popup menu windows of a process (an open submenu has a window of its own).
std::vector<HWND> PopupMenusOf(DWORD processId);
bool WaitForPopupMenus(DWORD processId, size_t count, DWORD timeoutMs = 5000);

// Opens a menu with a right-button press at `at` (screen pixels), then walks it with the keyboard,
// pressing `keys` in turn (VK_DOWN, VK_RIGHT, VK_RETURN, VK_ESCAPE ...). False when no menu showed,
// or when one is still open after the keys while `expectClosed`.
bool WalkMenu(DWORD processId, POINT at, const std::vector<WORD>& keys, bool expectClosed = true);

// A menu item as the test expects it.
struct MenuSpec {
  std::wstring caption;  // L"-" for a separator
  bool checked = false;
  std::vector<MenuSpec> submenu;
};

// The pixels of a popup menu window.
struct MenuPicture {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;
  friend bool operator==(const MenuPicture&, const MenuPicture&) = default;
};

// The visible popup menu windows of a process as the screen shows them, left to right.
std::vector<MenuPicture> PictureMenus(DWORD processId);

// Shows a menu of `items` in this process at `at`, presses `keys` in it, pictures its windows as
// PictureMenus does, and closes it again.
std::vector<MenuPicture> PictureExpectedMenu(const std::vector<MenuSpec>& items, POINT at,
                                             const std::vector<WORD>& keys);

// The open-file dialog of a process (a visible "#32770" with a file name box).
HWND WaitForFileDialog(DWORD processId, DWORD timeoutMs = 10000);
// Types the full path into the dialog's file name box and presses its Open button; waits until the
// dialog has gone.
bool ChooseFile(HWND dialog, const std::wstring& path);
// Presses the dialog's Cancel button; waits until the dialog has gone.
bool CancelFileDialog(HWND dialog);

}  // namespace e2e
