#pragma once
// Finding the programs' windows and reading what they show: controls, message boxes, popup menus, the
// open-file dialog and the pixels on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "harness/Input.h"
#include "harness/System.h"
#include "harness/Wait.h"

namespace e2e {

inline constexpr wchar_t kFormClass[] = L"ThunderRT6FormDC";
inline constexpr wchar_t kNoteCaption[] = L"Stickwell";
inline constexpr wchar_t kUpdaterCaption[] = L"Stickwell 更新程序";
inline constexpr wchar_t kCheckCaption[] = L"自动更新";

inline DWORD ProcessOf(HWND window) {
  DWORD id = 0;
  ::GetWindowThreadProcessId(window, &id);
  return id;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  return std::wstring(name, std::max(::GetClassNameW(window, name, 256), 0));
}

// The visible windows of this class and caption (nullptr: any), of one process unless 0: top-level
// ones, or the children of `parent`, depth-first in creation order. The caption is read as the system
// holds it, so a window that hangs does not hold up the test.
inline std::vector<HWND> Windows(const wchar_t* className, const wchar_t* caption, DWORD processId = 0, HWND parent = nullptr) {
  struct Query {
    const wchar_t *className, *caption;
    DWORD processId;
    std::vector<HWND> found;
  } query{className, caption, processId, {}};
  const auto collect = [](HWND window, LPARAM parameter) -> BOOL {
    auto& q = *reinterpret_cast<Query*>(parameter);
    wchar_t text[512];
    const std::wstring caption(text, std::max(::InternalGetWindowText(window, text, 512), 0));
    if (::IsWindowVisible(window) && (!q.processId || ProcessOf(window) == q.processId) &&
        (!q.className || ClassOf(window) == q.className) && (!q.caption || caption == q.caption))
      q.found.push_back(window);
    return TRUE;
  };
  parent ? ::EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&query)) : ::EnumWindows(collect, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

// Waits for such a window to show; nullptr after the limit.
inline HWND WaitForWindow(const wchar_t* className, const wchar_t* caption, DWORD processId = 0, DWORD timeoutMs = 15000) {
  std::vector<HWND> found;
  WaitUntil([&] { return !(found = Windows(className, caption, processId)).empty(); }, timeoutMs);
  return found.empty() ? nullptr : found.front();
}
inline HWND FirstChild(HWND parent, const wchar_t* className) {
  const auto found = Windows(className, nullptr, 0, parent);
  return found.empty() ? nullptr : found.front();
}

// A window's text through WM_GETTEXT, with a time limit; room to spare, as the text may grow meanwhile.
inline std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0, copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::wstring text(length + 4096, L'\0');
  ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000, &copied);
  return text.substr(0, copied);
}

// The control that has the keyboard in the thread of `window`.
inline HWND FocusIn(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

inline bool IsShown(HWND window) { return ::IsWindowVisible(window) != FALSE; }
inline RECT WindowRectOf(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

// Answers a message within 250 ms: its thread is not held up.
inline bool Responsive(HWND window) {
  DWORD_PTR ignored = 0;
  return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 250, &ignored) != 0;
}

// The texts a control shows, each change once, until `done` or its window is gone; with the moment
// each came (GetTickCount64) in `times` when given.
inline std::vector<std::wstring> WatchTexts(HWND control, const std::function<bool()>& done, std::vector<ULONGLONG>* times = nullptr,
                                            DWORD timeoutMs = 30000) {
  std::vector<std::wstring> seen;
  HWND window = ::GetAncestor(control, GA_ROOT);
  WaitUntil(
      [&] {
        const std::wstring text = TextOf(control);
        if (!text.empty() && (seen.empty() || seen.back() != text)) {
          seen.push_back(text);
          if (times) times->push_back(::GetTickCount64());
        }
        return !::IsWindow(window) || done();
      },
      timeoutMs, 5);
  return seen;
}

// The static texts of a dialog joined by "\n": a message box's message.
inline std::wstring DialogText(HWND dialog) {
  std::wstring text;
  for (HWND child : Windows(L"Static", nullptr, 0, dialog))
    if (const std::wstring part = TextOf(child); !part.empty()) text += (text.empty() ? L"" : L"\n") + part;
  return text;
}

// Presses the dialog's button with this id (IDOK, IDCANCEL, IDYES, IDNO).
inline void PressDialogButton(HWND dialog, int buttonId) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, buttonId)));
}

// The open-file dialog of a process: takes `path` as the file name and opens it, or cancels for an
// empty path. False when no dialog came or it did not close. The file name box is the edit box in the
// Explorer-style dialog's combo box (cmb13), or one of its own in older templates (edt1).
inline bool AnswerFileDialog(DWORD processId, const std::wstring& path) {
  HWND dialog = nullptr, box = nullptr;
  WaitUntil([&] {
    for (HWND candidate : Windows(L"#32770", nullptr, processId))
      if (HWND combo = ::GetDlgItem(candidate, 0x47C); combo || ::GetDlgItem(candidate, 0x480))
        dialog = candidate, box = combo ? FirstChild(combo, L"Edit") : ::GetDlgItem(candidate, 0x480);
    return box != nullptr;
  });
  ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PressDialogButton(dialog, path.empty() ? IDCANCEL : IDOK);
  return box && WaitUntil([&] { return !::IsWindowVisible(dialog); });
}

// Opens a menu (window class "#32768") with a right-button press at `at`, or with the `opener` keys
// pressed together while the pointer rests there, and presses `keys` in it. False when no menu showed
// on top of everything, or when one is still open after the keys while `expectClosed`.
inline bool WalkMenu(DWORD processId, POINT at, const std::vector<WORD>& keys, bool expectClosed = true, const std::vector<WORD>& opener = {}) {
  const auto menus = [&](size_t count) { return WaitUntil([&] { return Windows(L"#32768", nullptr, processId).size() == count; }, 10000); };
  // The menu takes the keys when its window is the active one, as it is once a hand has clicked it.
  if (!menus(0) || !Activate(::GetAncestor(::WindowFromPoint(at), GA_ROOT))) return false;
  opener.empty() ? Click(at, Button::Right) : (MoveTo(at), KeyChord(opener));
  if (!menus(1)) return false;
  // The menu opens over its note: its corner must be the menu's own.
  const RECT r = WindowRectOf(Windows(L"#32768", nullptr, processId).front());
  if (!WaitUntil([&] { return ClassOf(::WindowFromPoint({r.left + 4, r.top + 4})) == L"#32768"; }, 1000)) {
    ADD_FAILURE() << "the menu showed behind a window of class " << Utf8(ClassOf(::WindowFromPoint({r.left + 4, r.top + 4})));
    return false;
  }
  for (WORD key : keys) KeyChord({key});
  return !expectClosed || menus(0);
}

// A small visible window of the test's own with this class and caption: a stand-in for another
// program's window, or a place to click away from the notes. The caller destroys it.
inline HWND OpenOwnWindow(const wchar_t* className, const wchar_t* caption, RECT at) {
  const WNDCLASSW wc{0, &::DefWindowProcW, 0, 0, ::GetModuleHandleW(nullptr), nullptr, nullptr,
                     static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)), nullptr, className};
  ::RegisterClassW(&wc);
  return ::CreateWindowExW(0, className, caption, WS_POPUP | WS_VISIBLE, at.left, at.top, at.right - at.left, at.bottom - at.top,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

// How many pixels of each colour the screen shows in the rectangle, every `step` pixels across and down.
inline std::map<COLORREF, int> Colours(const RECT& r, int step = 1) {
  std::map<COLORREF, int> counts;
  HDC screen = ::GetDC(nullptr);
  for (int y = r.top; y < r.bottom; y += step)
    for (int x = r.left; x < r.right; x += step) ++counts[::GetPixel(screen, x, y)];
  ::ReleaseDC(nullptr, screen);
  return counts;
}
inline bool AnyPixelIs(const RECT& r, COLORREF colour) { return Colours(r).count(colour) > 0; }
inline bool AllPixelsAre(const RECT& r, COLORREF colour) { return Colours(r).size() == 1 && AnyPixelIs(r, colour); }
// The colour most of a screen rectangle shows (text and lines aside).
inline COLORREF MostCommonColour(const RECT& r) {
  const auto colours = Colours(r, 3);
  const auto most = std::max_element(colours.begin(), colours.end(), [](auto& a, auto& b) { return a.second < b.second; });
  return most == colours.end() ? CLR_INVALID : most->first;
}

}  // namespace e2e
