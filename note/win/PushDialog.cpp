#include "note/win/PushDialog.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "note/win/PushDialogIds.h"
#include "shared/win/CommonControls.h"
#include "shared/win/Diagnostics.h"

namespace stickwell::note {
namespace {

// The dialog is laid out in dialog units of its font, so it scales with the font and the DPI.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short cx, short cy, std::wstring_view caption, WORD points, std::wstring_view face) {
    head_.style = style | DS_SETFONT;
    head_.cx = cx;
    head_.cy = cy;
    words_.resize(sizeof head_ / sizeof(WORD));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    appendText(caption);
    words_.push_back(points);
    appendText(face);
  }

  // `windowClass`: 0x0080 button, 0x0081 edit (the predefined class atoms).
  void add(WORD windowClass, DWORD style, short x, short y, short cx, short cy, WORD id, std::wstring_view text) {
    if (words_.size() % 2) words_.push_back(0);  // every item starts on a DWORD boundary
    DLGITEMTEMPLATE item{};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    const size_t at = words_.size();
    words_.resize(at + sizeof item / sizeof(WORD));
    std::memcpy(&words_[at], &item, sizeof item);
    words_.push_back(0xFFFF);
    words_.push_back(windowClass);
    appendText(text);
    words_.push_back(0);  // no creation data
    ++head_.cdit;
  }

  // The template in memory; valid until the next change.
  const DLGTEMPLATE* get() {
    std::memcpy(words_.data(), &head_, sizeof head_);
    return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
  }

 private:
  void appendText(std::wstring_view text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
  }

  DLGTEMPLATE head_{};
  std::vector<WORD> words_;
};

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;

}  // namespace

PushDialog::~PushDialog() {
  if (dialog_) ::DestroyWindow(dialog_);
}

bool PushDialog::show(HWND owner, const std::wstring& text, std::function<void()> stopReminding) {
  if (dialog_) return true;
  text_ = text;
  stopReminding_ = std::move(stopReminding);

  DialogTemplate layout(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 240, 150, L"消息推送：", 9,
                        L"MS Shell Dlg");
  layout.add(kEditClass, ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 226,
             112, static_cast<WORD>(kPushTextId), L"");
  layout.add(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 55, 127, 50, 15, static_cast<WORD>(kPushOkId), L"确定");
  layout.add(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 115, 127, 80, 15, static_cast<WORD>(kStopRemindingId),
             L"知道了，不再提醒");
  win::CommonControlsScope themed;  // the buttons, the box and its scroll bar
  if (!::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), layout.get(), owner, &PushDialog::Procedure,
                                    reinterpret_cast<LPARAM>(this))) {
    win::TraceLastError({L"CreateDialogIndirectParamW, push dialog"});
    return false;
  }
  ::ShowWindow(dialog_, SW_SHOW);
  return true;
}

bool PushDialog::isDialogMessage(MSG& message) {
  if (!dialog_ || (message.hwnd != dialog_ && !::IsChild(dialog_, message.hwnd))) return false;
  return ::IsDialogMessageW(dialog_, &message) != FALSE;
}

INT_PTR CALLBACK PushDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  PushDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<PushDialog*>(lParam);
    self->dialog_ = dialog;
    ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<PushDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  try {
    result = self->handleMessage(message, wParam, lParam);
  } catch (...) {
    // Never let an exception unwind through the dialog manager.
    win::TraceException({L"push dialog procedure, message ", win::Hex(message)});
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
    self->dialog_ = nullptr;
  }
  return result;
}

INT_PTR PushDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      ::SetDlgItemTextW(dialog_, kPushTextId, text_.c_str());
      // The box opens at its first line, with nothing selected, and Enter means "确定".
      ::SetFocus(::GetDlgItem(dialog_, kPushOkId));
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kStopRemindingId:
          if (stopReminding_) stopReminding_();
          ::DestroyWindow(dialog_);
          return TRUE;
        case kPushOkId:
        case IDCANCEL:  // Esc, like the close box, only closes
          ::DestroyWindow(dialog_);
          return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      ::DestroyWindow(dialog_);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      // A box that cannot be typed into is still a text to read: keep it on the window colour.
      if (reinterpret_cast<HWND>(lParam) == ::GetDlgItem(dialog_, kPushTextId)) {
        // With its text colour too: a high-contrast theme's window colour is dark.
        ::SetTextColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_WINDOW));
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace stickwell::note
