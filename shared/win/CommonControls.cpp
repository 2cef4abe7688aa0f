#include "shared/win/CommonControls.h"

#include <commctrl.h>

#include "shared/win/Diagnostics.h"

namespace stickwell::win {
namespace {

// The program's second manifest as an activation context, made once; nullptr when the program has
// none (then the process manifest decides, as it does for the updater).
HANDLE ModernContext() {
  static const HANDLE context = [] {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
    request.hModule = ::GetModuleHandleW(nullptr);
    request.lpResourceName = MAKEINTRESOURCEW(2);
    const HANDLE created = ::CreateActCtxW(&request);
    if (created != INVALID_HANDLE_VALUE) return created;
    const DWORD error = ::GetLastError();
    if (error != ERROR_RESOURCE_TYPE_NOT_FOUND && error != ERROR_RESOURCE_NAME_NOT_FOUND)
      TraceError(error, {L"CreateActCtxW"});
    return HANDLE{nullptr};
  }();
  return context;
}

}  // namespace

CommonControlsScope::CommonControlsScope() {
  if (HANDLE context = ModernContext()) {
    active_ = ::ActivateActCtx(context, &cookie_) != FALSE;
    if (!active_) TraceLastError({L"ActivateActCtx"});
  }
  // Loaded here, inside the context, rather than linked: the library comes only with the first window
  // that needs it, and in the version the context asks for.
  static const bool initialised = [] {
    HMODULE library = ::LoadLibraryW(L"comctl32.dll");
    using Initialise = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initialise =
        library ? reinterpret_cast<Initialise>(reinterpret_cast<void*>(::GetProcAddress(library, "InitCommonControlsEx")))
                : nullptr;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    if (initialise && initialise(&controls)) return true;
    TraceLastError({L"loading comctl32.dll and InitCommonControlsEx"});
    return false;
  }();
  (void)initialised;
}

CommonControlsScope::~CommonControlsScope() {
  if (active_) ::DeactivateActCtx(0, cookie_);
}

int ThemedMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
  CommonControlsScope scope;
  return ::MessageBoxW(owner, text, caption, type);
}

}  // namespace stickwell::win

namespace stickwell::win {

bool ThemedOpenFileDialog(OPENFILENAMEW& dialog) {
  CommonControlsScope scope;
  static const HMODULE library = [] {
    HMODULE loaded = ::LoadLibraryW(L"comdlg32.dll");
    if (!loaded) TraceLastError({L"LoadLibraryW comdlg32.dll"});
    return loaded;
  }();
  using Open = BOOL(WINAPI*)(OPENFILENAMEW*);
  const auto open =
      library ? reinterpret_cast<Open>(reinterpret_cast<void*>(::GetProcAddress(library, "GetOpenFileNameW"))) : nullptr;
  return open && open(&dialog);
}

}  // namespace stickwell::win
