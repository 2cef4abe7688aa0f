#pragma once
// What a screen reader learns about a control of another process, asked the way readers ask
// (AccessibleObjectFromWindow), and its "click", the default action.
#include <windows.h>
#include <oleacc.h>

#include <ostream>
#include <string>

#include "harness/System.h"

namespace e2e {

struct ReaderView {
  std::wstring name;
  long role = 0;
  friend bool operator==(const ReaderView&, const ReaderView&) = default;
  friend void PrintTo(const ReaderView& view, std::ostream* out) { *out << '"' << Utf8(view.name) << "\", role " << view.role; }
};

// Asks the accessible object of the control's client area through `ask`; false when there is none.
template <typename Ask>
bool AskAsReader(HWND control, Ask ask) {
  // Spelled out: with the static MinGW libraries IID_IAccessible resolves to another GUID.
  static constexpr IID kIidAccessible{0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
  static const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IAccessible* object = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(control, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&object))))
    return (void)com, false;
  VARIANT self{};
  self.vt = VT_I4;  // CHILDID_SELF
  const bool answered = ask(*object, self);
  object->Release();
  return answered;
}

inline ReaderView ReadAsReader(HWND control) {
  ReaderView view;
  AskAsReader(control, [&](IAccessible& object, VARIANT self) {
    BSTR name = nullptr;
    VARIANT role{};
    if (SUCCEEDED(object.get_accName(self, &name)) && name) view.name = name;
    if (SUCCEEDED(object.get_accRole(self, &role)) && role.vt == VT_I4) view.role = role.lVal;
    return ::SysFreeString(name), true;
  });
  return view;
}

// A reader's "click". "x" ends its note at once, which can come before the answer reaches the reader:
// a call that breaks off that way counts as made.
inline bool PressAsReader(HWND control) {
  return AskAsReader(control, [](IAccessible& object, VARIANT self) {
    const HRESULT result = object.accDoDefaultAction(self);
    return SUCCEEDED(result) || result == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) || result == RPC_E_DISCONNECTED;
  });
}

}  // namespace e2e
