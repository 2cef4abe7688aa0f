#pragma once
// Move-only owners for Win32 handles: one owner per handle, closed exactly once.
#include <windows.h>
#include <wininet.h>

namespace stickwell::win {

template <typename T, typename Traits>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T handle) : handle_(handle) {}
  ~Unique() { reset(); }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : handle_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const { return handle_; }
  explicit operator bool() const { return Traits::IsValid(handle_); }
  T release() {
    T handle = handle_;
    handle_ = Traits::Invalid();
    return handle;
  }
  void reset(T handle = Traits::Invalid()) {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  T handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct WindowTraits {
  static HWND Invalid() { return nullptr; }
  static bool IsValid(HWND h) { return h != nullptr; }
  static void Close(HWND h) { ::DestroyWindow(h); }
};
template <typename G>
struct GdiTraits {
  static G Invalid() { return nullptr; }
  static bool IsValid(G h) { return h != nullptr; }
  static void Close(G h) { ::DeleteObject(h); }
};
struct InternetTraits {
  static HINTERNET Invalid() { return nullptr; }
  static bool IsValid(HINTERNET h) { return h != nullptr; }
  static void Close(HINTERNET h) { ::InternetCloseHandle(h); }
};
struct MenuTraits {
  static HMENU Invalid() { return nullptr; }
  static bool IsValid(HMENU h) { return h != nullptr; }
  static void Close(HMENU h) { ::DestroyMenu(h); }
};

using UniqueHandle = Unique<HANDLE, KernelHandleTraits>;
using UniqueHwnd = Unique<HWND, WindowTraits>;
using UniqueFont = Unique<HFONT, GdiTraits<HFONT>>;
using UniqueBrush = Unique<HBRUSH, GdiTraits<HBRUSH>>;
using UniquePen = Unique<HPEN, GdiTraits<HPEN>>;
using UniqueBitmap = Unique<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueInternet = Unique<HINTERNET, InternetTraits>;
using UniqueMenu = Unique<HMENU, MenuTraits>;

// Selects a GDI object into a DC for the guard's lifetime. Declare it after the object it selects,
// so the old object is back in the DC before the selected one is deleted.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~SelectGuard() { ::SelectObject(dc_, old_); }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint and EndPaint around a WM_PAINT answer.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  ~PaintScope() { ::EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// A window's client-area DC (the screen's for nullptr), released when the scope ends.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace stickwell::win
