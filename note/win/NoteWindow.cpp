#include "note/win/NoteWindow.h"

namespace stickwell::note {

bool NoteWindow::open(int showCommand) {
  win::RegisterWindowClass(win::kFormClass, CS_DBLCLKS);
  if (!create(win::kFormClass, L"Stickwell", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 256, 266, nullptr, nullptr))
    return false;
  ::ShowWindow(hwnd(), showCommand);
  return true;
}

LRESULT NoteWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(hwnd(), &client);
      HBRUSH yellow = ::CreateSolidBrush(RGB(255, 255, 0));
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, yellow);
      ::DeleteObject(yellow);
      return 1;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return Window::handleMessage(message, wParam, lParam);
}

}  // namespace stickwell::note
