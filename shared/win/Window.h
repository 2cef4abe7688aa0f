#pragma once
// Base of every top-level window and child control class of our own: the window object is stored
// in GWLP_USERDATA on WM_NCCREATE and every message goes to its handleMessage.
#include <windows.h>

namespace stickwell::win {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

  // The window procedure of every class registered with RegisterWindowClass.
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  // Creates the window with this object as its owner of messages.
  HWND create(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, int x, int y,
              int width, int height, HWND parent, HMENU idOrMenu);
  virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Called after WM_NCDESTROY: the window is gone.
  virtual void onDestroyed() {}

 private:
  HWND hwnd_ = nullptr;
};

// Registers a window class whose messages go to Window::Procedure (once per process).
ATOM RegisterWindowClass(const wchar_t* className, UINT style, HCURSOR cursor = nullptr);

// The class of every form of both programs; the programs find each other's windows by it.
inline constexpr wchar_t kFormClass[] = L"ThunderRT6FormDC";

}  // namespace stickwell::win
