#include "shared/win/Subclass.h"

namespace stickwell::win {
namespace {

constexpr wchar_t kProperty[] = L"Stickwell.Subclass";

struct Subclassing {
  WNDPROC original;
  SubclassProcedure procedure;
  UINT_PTR id;
  DWORD_PTR data;
};

Subclassing* Of(HWND control) { return static_cast<Subclassing*>(::GetPropW(control, kProperty)); }

LRESULT CALLBACK Thunk(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  Subclassing* subclassing = Of(control);
  if (!subclassing) return ::DefWindowProcW(control, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // Back to the control's own procedure for its last message, and the record goes.
    const WNDPROC original = subclassing->original;
    ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ::RemovePropW(control, kProperty);
    LRESULT result = 0;
    try {
      subclassing->procedure(control, message, wParam, lParam, subclassing->id, subclassing->data);
    } catch (...) {
    }
    delete subclassing;
    result = ::CallWindowProcW(original, control, message, wParam, lParam);
    return result;
  }
  return subclassing->procedure(control, message, wParam, lParam, subclassing->id, subclassing->data);
}

}  // namespace

bool SubclassControl(HWND control, SubclassProcedure procedure, UINT_PTR id, DWORD_PTR data) {
  if (!control || Of(control)) return false;
  auto* subclassing = new Subclassing{nullptr, procedure, id, data};
  if (!::SetPropW(control, kProperty, subclassing)) {
    delete subclassing;
    return false;
  }
  subclassing->original =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Thunk)));
  return true;
}

LRESULT CallSubclassedControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const Subclassing* subclassing = Of(control);
  if (!subclassing) return ::DefWindowProcW(control, message, wParam, lParam);
  return ::CallWindowProcW(subclassing->original, control, message, wParam, lParam);
}

}  // namespace stickwell::win
