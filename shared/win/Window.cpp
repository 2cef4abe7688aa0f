#include "shared/win/Window.h"

#include "shared/win/Diagnostics.h"

namespace stickwell::win {

Window::~Window() {
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

HWND Window::create(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, int x, int y,
                    int width, int height, HWND parent, HMENU idOrMenu) {
  HWND created = ::CreateWindowExW(exStyle, className, caption, style, x, y, width, height, parent, idOrMenu,
                                   ::GetModuleHandleW(nullptr), this);
  if (!created) TraceLastError({L"CreateWindowExW ", className, L" \"", caption ? caption : L"", L"\""});
  return created;
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    self = static_cast<Window*>(create->lpCreateParams);
    if (self) {
      self->hwnd_ = hwnd;
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  } else {
    self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);

  LRESULT result = 0;
  try {
    result = self->handleMessage(message, wParam, lParam);
  } catch (...) {
    // An exception must never unwind through the system's frames; the message gets the default
    // treatment instead.
    TraceException({L"window procedure, message ", Hex(message)});
    result = ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->onDestroyed();
  }
  return result;
}

ATOM RegisterWindowClass(const wchar_t* className, UINT style, HCURSOR cursor) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &Window::Procedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = className;
  const ATOM atom = ::RegisterClassExW(&wc);
  if (atom != 0) return atom;
  const DWORD error = ::GetLastError();
  if (error == ERROR_CLASS_ALREADY_EXISTS) return static_cast<ATOM>(::GetClassInfoExW(wc.hInstance, className, &wc));
  TraceError(error, {L"RegisterClassExW ", className});
  return 0;
}

}  // namespace stickwell::win
