#pragma once
// What a screen reader learns about a control of our own: its name, its role and the default action
// that a reader's "click" runs. The programs answer WM_GETOBJECT with the system's standard object for
// the control (place, state, focus and everything else stay the system's) and put their own name,
// role and default action on top of it. The accessibility libraries load with the first question a
// reader asks: a note that nobody reads carries none of them.
#include <windows.h>

#include <functional>
#include <string>

namespace stickwell::win {

struct Accessible {
  long role = 0;  // ROLE_SYSTEM_*; 0: the control is not described and keeps the system's object
  std::function<std::wstring()> name;  // read at each question: a name that follows the control
  const wchar_t* defaultAction = nullptr;  // the action's name; the action itself is `run`
  std::function<void()> run;
};

// Posted to a control whose default action a reader asked for; the control runs its `run` then, after
// the reader's call has returned. Only controls of our own window classes have default actions.
inline constexpr UINT kRunDefaultAction = WM_USER + 0x1A0;

// Answers WM_GETOBJECT for `control` when the client area's object is asked for; 0 otherwise, or when
// the accessibility libraries are missing (the caller then passes the message on).
LRESULT AnswerGetObject(HWND control, WPARAM wParam, LPARAM lParam, const Accessible& accessible);

}  // namespace stickwell::win
