#include "harness/WindowFinder.h"

#include "harness/Wait.h"

namespace e2e {

std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  const int length = ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return std::wstring(name, length > 0 ? length : 0);
}

std::wstring CaptionOf(HWND window) {
  wchar_t text[512];
  const int length = ::InternalGetWindowText(window, text, static_cast<int>(std::size(text)));
  return std::wstring(text, length > 0 ? length : 0);
}

DWORD ProcessOf(HWND window) {
  DWORD id = 0;
  ::GetWindowThreadProcessId(window, &id);
  return id;
}

namespace {

struct TopLevelQuery {
  const wchar_t* className;
  const wchar_t* caption;
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
  auto* query = reinterpret_cast<TopLevelQuery*>(parameter);
  if (query->processId && ProcessOf(window) != query->processId) return TRUE;
  if (query->className && ClassOf(window) != query->className) return TRUE;
  if (query->caption && CaptionOf(window) != query->caption) return TRUE;
  query->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM parameter) {
  reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(const wchar_t* className, const wchar_t* caption, DWORD processId) {
  TopLevelQuery query{className, caption, processId, {}};
  ::EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* caption, DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const auto windows = TopLevelWindows(className, caption, processId);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

bool WaitForNoWindow(const wchar_t* className, const wchar_t* caption, DWORD processId, DWORD timeoutMs) {
  return WaitUntil([&] { return TopLevelWindows(className, caption, processId).empty(); }, timeoutMs);
}

std::vector<HWND> Children(HWND parent, const wchar_t* className) {
  std::vector<HWND> all;
  ::EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&all));
  if (!className) return all;
  std::vector<HWND> matching;
  for (HWND child : all)
    if (ClassOf(child) == className) matching.push_back(child);
  return matching;
}

std::vector<HWND> DialogsOf(DWORD processId) {
  std::vector<HWND> dialogs;
  for (HWND window : TopLevelWindows(L"#32770", nullptr, processId))
    if (::IsWindowVisible(window)) dialogs.push_back(window);
  return dialogs;
}

HWND WaitForDialog(DWORD processId, const std::wstring& title, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND dialog : DialogsOf(processId))
          if (CaptionOf(dialog) == title) found = dialog;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

std::wstring DialogText(HWND dialog) {
  std::wstring text;
  for (HWND child : Children(dialog, L"Static")) {
    const std::wstring part = TextOf(child);
    if (part.empty()) continue;
    if (!text.empty()) text += L"\n";
    text += part;
  }
  return text;
}

bool PressDialogButton(HWND dialog, int buttonId) {
  HWND button = ::GetDlgItem(dialog, buttonId);
  if (!button) return false;
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return true;
}

std::wstring TextOf(HWND window) {
  // The text may change between asking for its length and reading it: read into a buffer with room
  // to spare, and again with more room when it came back full.
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  for (size_t room = length + 64;; room *= 2) {
    std::wstring text(room, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_ABORTIFHUNG, 5000, &copied))
      return {};
    if (copied + 1 < room || room > (1u << 24)) {
      text.resize(copied);
      return text;
    }
  }
}

RECT WindowRectOf(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

RECT ClientRectOnScreen(HWND window) {
  RECT rect{};
  ::GetClientRect(window, &rect);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool IsShown(HWND window) { return ::IsWindowVisible(window) != FALSE; }

namespace {
LRESULT CALLBACK PlainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

HWND OpenOwnWindow(const wchar_t* className, const wchar_t* caption, int x, int y) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &PlainProcedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = className;
  ::RegisterClassW(&wc);
  return ::CreateWindowExW(0, className, caption, WS_POPUP | WS_VISIBLE, x, y, 60, 60, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

}  // namespace e2e
