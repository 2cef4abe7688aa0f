#include "updater/win/OfferWindow.h"

namespace stickwell::updater {

bool OfferWindow::open(int showCommand) {
  win::RegisterWindowClass(win::kFormClass, CS_DBLCLKS);
  if (!create(win::kFormClass, L"Stickwell 更新程序", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
              CW_USEDEFAULT, CW_USEDEFAULT, 270, 420, nullptr, nullptr))
    return false;
  ::ShowWindow(hwnd(), showCommand);
  return true;
}

LRESULT OfferWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return Window::handleMessage(message, wParam, lParam);
}

}  // namespace stickwell::updater
