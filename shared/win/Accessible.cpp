#include "shared/win/Accessible.h"

#include <oleacc.h>

#include <new>
#include <string_view>

#include "shared/win/Diagnostics.h"

namespace stickwell::win {
namespace {

// Spelled out: with the static MinGW libraries IID_IAccessible resolves to another GUID.
constexpr IID kIidUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidAccessible{0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// The few functions of COM and of the accessibility library that the answer needs, loaded with the
// first question a reader asks.
struct Library {
  HRESULT(WINAPI* coInitializeEx)(void*, DWORD) = nullptr;
  BSTR(WINAPI* sysAllocString)(const OLECHAR*) = nullptr;
  HRESULT(WINAPI* createStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
  LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;

  bool loaded() const { return coInitializeEx && sysAllocString && createStdAccessibleObject && lresultFromObject; }
};

template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
  function = module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

const Library& Functions() {
  static const Library library = [] {
    Library found;
    Find(::LoadLibraryW(L"ole32.dll"), "CoInitializeEx", found.coInitializeEx);
    Find(::LoadLibraryW(L"oleaut32.dll"), "SysAllocString", found.sysAllocString);
    const HMODULE oleacc = ::LoadLibraryW(L"oleacc.dll");
    Find(oleacc, "CreateStdAccessibleObject", found.createStdAccessibleObject);
    Find(oleacc, "LresultFromObject", found.lresultFromObject);
    if (!found.loaded()) {
      TraceLastError({L"loading the accessibility libraries"});
      return found;
    }
    // A single-threaded apartment: the readers' calls then come to this thread through its message
    // loop, one at a time, like every other event of the window.
    const HRESULT result = found.coInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(result) && result != RPC_E_CHANGED_MODE) TraceError(static_cast<DWORD>(result), {L"CoInitializeEx"});
    return found;
  }();
  return library;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT Text(std::wstring_view text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = Functions().sysAllocString(std::wstring(text).c_str());
  return *out ? S_OK : E_OUTOFMEMORY;
}

// The system's standard object of a control, with our own name, role and default action.
class Described final : public IAccessible {
 public:
  Described(HWND control, IAccessible* standard, const Accessible& accessible)
      : control_(control), standard_(standard), accessible_(accessible) {}
  ~Described() { standard_->Release(); }
  Described(const Described&) = delete;
  Described& operator=(const Described&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, kIidUnknown) || IsEqualIID(iid, kIidDispatch) || IsEqualIID(iid, kIidAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // Its window and its children are the standard object's to tell.
    return standard_->QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
    return standard_->Invoke(id, iid, locale, flags, parameters, result, exception, argument);
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child) || !accessible_.name || !::IsWindow(control_)) return standard_->get_accName(child, name);
    try {
      return Text(accessible_.name(), name);
    } catch (...) {
      TraceException({L"accessible name"});
      return E_OUTOFMEMORY;
    }
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!IsSelf(child)) return standard_->get_accRole(child, role);
    if (!role) return E_POINTER;
    role->vt = VT_I4;
    role->lVal = accessible_.role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return standard_->get_accDescription(child, description);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!IsSelf(child) || !accessible_.defaultAction) return standard_->get_accDefaultAction(child, action);
    return Text(accessible_.defaultAction, action);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!IsSelf(child) || !accessible_.defaultAction) return standard_->accDoDefaultAction(child);
    // Run after this call has returned: the action may end the program ("x").
    return ::PostMessageW(control_, kRunDefaultAction, 0, 0) ? S_OK : E_FAIL;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** found) override {
    return standard_->get_accChild(child, found);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override { return standard_->get_accValue(child, value); }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return standard_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return standard_->get_accHelp(child, help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return standard_->get_accFocus(focus); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override { return standard_->get_accSelection(selection); }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return standard_->accSelect(flags, child); }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override { return standard_->accHitTest(x, y, child); }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return standard_->put_accName(child, name); }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  HWND control_;
  IAccessible* standard_;
  const Accessible accessible_;  // a copy: a reader may keep the object longer than the control lives
  ULONG references_ = 1;
};

}  // namespace

LRESULT AnswerGetObject(HWND control, WPARAM wParam, LPARAM lParam, const Accessible& accessible) {
  // Other objects (the window's frame, a reader's own questions) are the system's to answer.
  if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || accessible.role == 0) return 0;
  const Library& library = Functions();
  if (!library.loaded()) return 0;
  IAccessible* standard = nullptr;
  const HRESULT made = library.createStdAccessibleObject(control, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&standard));
  if (FAILED(made) || !standard) {
    TraceError(static_cast<DWORD>(made), {L"CreateStdAccessibleObject"});
    return 0;
  }
  auto* described = new (std::nothrow) Described(control, standard, accessible);
  if (!described) {
    standard->Release();
    return 0;
  }
  const LRESULT answer = library.lresultFromObject(kIidAccessible, wParam, described);
  described->Release();  // the answer holds its own reference until the reader takes the object
  if (answer < 0) TraceError(static_cast<DWORD>(answer), {L"LresultFromObject"});
  return answer > 0 ? answer : 0;
}

}  // namespace stickwell::win
