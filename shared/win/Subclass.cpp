#include "shared/win/Subclass.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "shared/win/Diagnostics.h"

namespace stickwell::win {
namespace {

struct Subclassing {
  WNDPROC original;
  SubclassProcedure procedure;
  UINT_PTR id;
  DWORD_PTR data;
  bool lastMessagePassedOn = false;  // WM_NCDESTROY has reached the control's own procedure
};

// The records of the subclassed controls, looked up on every message they get. A window property
// would do as well, but under Wine every lookup of one asks the window server: a round trip for each
// key, each pointer move and each reading of the note's text, and four on every tick of its watcher.
class Records {
 public:
  Subclassing* find(HWND control) {
    const std::lock_guard lock(mutex_);
    const auto found = std::find_if(records_.begin(), records_.end(), [&](const auto& r) { return r.first == control; });
    return found == records_.end() ? nullptr : found->second;
  }
  void add(HWND control, Subclassing* subclassing) {
    const std::lock_guard lock(mutex_);
    records_.emplace_back(control, subclassing);
  }
  void remove(HWND control) {
    const std::lock_guard lock(mutex_);
    std::erase_if(records_, [&](const auto& r) { return r.first == control; });
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<HWND, Subclassing*>> records_;
};

Records& TheRecords() {
  static Records records;
  return records;
}

Subclassing* Of(HWND control) { return TheRecords().find(control); }

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
  TheRecords().remove(control);
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
  TheRecords().add(control, subclassing);
  subclassing->original =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Thunk)));
  if (!subclassing->original) {
    TraceLastError({L"SetWindowLongPtrW GWLP_WNDPROC"});
    TheRecords().remove(control);
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
