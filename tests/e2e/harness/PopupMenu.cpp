#include "harness/PopupMenu.h"

#include <algorithm>
#include <thread>

#include "harness/Input.h"
#include "harness/Wait.h"
#include "harness/WindowFinder.h"

namespace e2e {
namespace {

// The file name box: the edit box inside the Explorer-style dialog's combo box, or an edit box of
// its own in older templates.
HWND FileNameBox(HWND dialog) {
  for (int id : {0x47C /* cmb13 */, 0x480 /* edt1 */}) {
    HWND box = ::GetDlgItem(dialog, id);
    if (!box) continue;
    const std::vector<HWND> edits = Children(box, L"Edit");
    return edits.empty() ? box : edits.front();
  }
  return nullptr;
}

MenuPicture Picture(HWND window) {
  const RECT r = WindowRectOf(window);
  MenuPicture picture;
  picture.width = r.right - r.left;
  picture.height = r.bottom - r.top;
  if (picture.width <= 0 || picture.height <= 0) return picture;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, picture.width, picture.height);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, picture.width, picture.height, screen, r.left, r.top, SRCCOPY);
  ::SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  ::GetDIBits(memory, bitmap, 0, picture.height, picture.pixels.data(), &info, DIB_RGB_COLORS);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return picture;
}

HMENU BuildMenu(const std::vector<MenuSpec>& items) {
  HMENU menu = ::CreatePopupMenu();
  UINT id = 1;
  for (const MenuSpec& item : items) {
    if (item.caption == L"-") {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!item.submenu.empty()) {
      ::AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(BuildMenu(item.submenu)),
                    item.caption.c_str());
    } else {
      ::AppendMenuW(menu, MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED), id++, item.caption.c_str());
    }
  }
  return menu;
}

LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

std::vector<HWND> PopupMenusOf(DWORD processId) {
  std::vector<HWND> menus;
  for (HWND window : TopLevelWindows(L"#32768", nullptr, processId))
    if (::IsWindowVisible(window)) menus.push_back(window);
  return menus;
}

bool WaitForPopupMenus(DWORD processId, size_t count, DWORD timeoutMs) {
  return WaitUntil([&] { return PopupMenusOf(processId).size() == count; }, timeoutMs);
}

bool WalkMenu(DWORD processId, POINT at, const std::vector<WORD>& keys, bool expectClosed) {
  if (!WaitForPopupMenus(processId, 0)) return false;
  Approach(at);
  Press(Button::Right);
  Release(Button::Right);
  if (!WaitForPopupMenus(processId, 1)) return false;
  for (WORD key : keys) {
    PressKey(key);
    Pause(60);
  }
  if (!expectClosed) return true;
  return WaitForPopupMenus(processId, 0);
}

std::vector<MenuPicture> PictureMenus(DWORD processId) {
  std::vector<HWND> menus = PopupMenusOf(processId);
  std::sort(menus.begin(), menus.end(), [](HWND a, HWND b) { return WindowRectOf(a).left < WindowRectOf(b).left; });
  Pause(200);  // let them paint
  std::vector<MenuPicture> pictures;
  for (HWND menu : menus) pictures.push_back(Picture(menu));
  return pictures;
}

std::vector<MenuPicture> PictureExpectedMenu(const std::vector<MenuSpec>& items, POINT at,
                                             const std::vector<WORD>& keys) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &OwnerProcedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"StickwellTestMenuOwner";
  ::RegisterClassW(&wc);
  // Out of sight: only the menu it owns shows.
  HWND owner = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, -100, -100, 1, 1,
                                 nullptr, nullptr, wc.hInstance, nullptr);
  HMENU menu = BuildMenu(items);
  const size_t windows = 1 + static_cast<size_t>(std::count(keys.begin(), keys.end(), WORD{VK_RIGHT}));

  // The menu runs its own loop on this thread; a second thread drives it and takes the picture.
  std::vector<MenuPicture> pictures;
  const DWORD self = ::GetCurrentProcessId();
  std::thread driver([&] {
    auto waitFor = [&](size_t count) {
      for (int i = 0; i < 250 && PopupMenusOf(self).size() != count; ++i) ::Sleep(20);
    };
    waitFor(1);
    for (WORD key : keys) {
      const std::vector<HWND> open = PopupMenusOf(self);
      if (!open.empty()) ::PostMessageW(open.front(), WM_KEYDOWN, key, 1);
      ::Sleep(60);
    }
    waitFor(windows);
    ::Sleep(200);
    std::vector<HWND> open = PopupMenusOf(self);
    std::sort(open.begin(), open.end(), [](HWND a, HWND b) { return WindowRectOf(a).left < WindowRectOf(b).left; });
    for (HWND window : open) pictures.push_back(Picture(window));
    ::PostMessageW(owner, WM_CANCELMODE, 0, 0);
    for (HWND window : open) ::PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
  });
  ::SetForegroundWindow(owner);
  ::TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y,
                     owner, nullptr);
  driver.join();
  ::DestroyMenu(menu);
  ::DestroyWindow(owner);
  return pictures;
}

HWND WaitForFileDialog(DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND dialog : DialogsOf(processId))
          if (FileNameBox(dialog)) found = dialog;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

bool ChooseFile(HWND dialog, const std::wstring& path) {
  HWND box = FileNameBox(dialog);
  if (!box) return false;
  ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  if (!PressDialogButton(dialog, IDOK)) return false;
  return WaitUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); });
}

bool CancelFileDialog(HWND dialog) {
  if (!PressDialogButton(dialog, IDCANCEL)) return false;
  return WaitUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); });
}

}  // namespace e2e
