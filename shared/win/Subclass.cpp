#include "shared/win/Subclass.h"

#include "shared/win/Diagnostics.h"

namespace stickwell::win {
namespace {

constexpr wchar_t kProperty[] = L"Stickwell.Subclass";

struct Subclassing {
  WNDPROC original;
  SubclassProcedure procedure;
  UINT_PTR id;
  DWORD_PTR data;
  bool lastMessagePassedOn = false;  // WM_NCDESTROY has reached the control's own procedure
};

Subclassing* Of(HWND control) { return static_cast<Subclassing*>(::GetPropW(control, kProperty)); }

LRESULT CALLBACK Thunk(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// The control's last message: our procedure sees it with the record in place, so what it passes on
// reaches the control's own procedure, once. The control must have it even when our procedure keeps
// it, since that is where it frees what it holds. Only then does the record go.
LRESULT LastMessage(HWND control, Subclassing* subclassing, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  try {
    result = subclassing->procedure(control, WM_NCDESTROY, wParam, lParam, subclassing->id, subclassing->data);
  } catch (...) {
    TraceException({L"subclass procedure, message ", Hex(WM_NCDESTROY)});
  }
  if (!subclassing->lastMessagePassedOn)
    result = ::CallWindowProcW(subclassing->original, control, WM_NCDESTROY, wParam, lParam);
  // A subclass put on after ours (a tooltip's) stays where it is: it handed the message down to us.
  if (::GetWindowLongPtrW(control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Thunk))
    ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassing->original));
  ::RemovePropW(control, kProperty);
  delete subclassing;
  return result;
}

LRESULT CALLBACK Thunk(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  Subclassing* subclassing = Of(control);
  if (!subclassing) return ::DefWindowProcW(control, message, wParam, lParam);
  if (message == WM_NCDESTROY) return LastMessage(control, subclassing, wParam, lParam);
  try {
    return subclassing->procedure(control, message, wParam, lParam, subclassing->id, subclassing->data);
  } catch (...) {
    // An exception must not unwind through the system's frames: the control handles the message.
    TraceException({L"subclass procedure, message ", Hex(message)});
    return ::CallWindowProcW(subclassing->original, control, message, wParam, lParam);
  }
}

}  // namespace

bool SubclassControl(HWND control, SubclassProcedure procedure, UINT_PTR id, DWORD_PTR data) {
  if (!control || Of(control)) return false;
  auto* subclassing = new Subclassing{nullptr, procedure, id, data};
  if (!::SetPropW(control, kProperty, subclassing)) {
    TraceLastError({L"SetPropW ", kProperty});
    delete subclassing;
    return false;
  }
  subclassing->original =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Thunk)));
  if (!subclassing->original) {
    TraceLastError({L"SetWindowLongPtrW GWLP_WNDPROC"});
    ::RemovePropW(control, kProperty);
    delete subclassing;
    return false;
  }
  return true;
}

LRESULT CallSubclassedControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  Subclassing* subclassing = Of(control);
  if (!subclassing) return ::DefWindowProcW(control, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    if (subclassing->lastMessagePassedOn) return 0;
    subclassing->lastMessagePassedOn = true;
  }
  return ::CallWindowProcW(subclassing->original, control, message, wParam, lParam);
}

}  // namespace stickwell::win
