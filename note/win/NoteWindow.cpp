#include "note/win/NoteWindow.h"

#include <windowsx.h>

#include "note/win/ControlIds.h"
#include "note/core/PointerRules.h"
#include "note/win/NoteAccessibility.h"
#include "note/win/NoteClosing.h"
#include "note/win/NoteContrast.h"
#include "note/win/PointerHandlers.h"
#include "note/win/SavingFileSweep.h"
#ifdef STICKWELL_TEST_PROBES
#include "note/win/TestProbe.h"
#endif
#include "note/win/TextDocuments.h"
#include "note/win/UserNoteFolder.h"
#include "shared/Twips.h"
#include "shared/win/Background.h"
#include "shared/win/Contrast.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/Dpi.h"
#include "shared/win/Launch.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/Subclass.h"
#include "shared/win/WideText.h"

namespace stickwell::note {
namespace {

constexpr float kStartLeft = 10;  // twips: the top left corner of the screen
constexpr float kStartTop = 10;
constexpr UINT_PTR kFinishStartupTimerId = 3;  // the watch timer is 1, the push timer 2

ClockReading Now() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return ClockReading{now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// Shown the usual way, the note and each of its controls would be erased at once, each with a window
// DC of its own, and then again as it paints. The erasing waits for the painting instead, which
// follows as soon as the note takes keys.
void ShowAtStartup(HWND window, int showCommand) {
  if (showCommand != SW_SHOWNORMAL && showCommand != SW_SHOWDEFAULT && showCommand != SW_SHOW) {
    ::ShowWindow(window, showCommand);
    return;
  }
  ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_DEFERERASE);
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

bool NoteWindow::open(int showCommand) {
  win::RegisterWindowClass(win::kFormClass, CS_DBLCLKS);
  const ClockReading started = Now();
  // The window is made at its size at the system's DPI; WM_CREATE learns the window's own DPI. A tool
  // window: notes take no room on the taskbar and no place in Alt+Tab.
  const unsigned systemDpi = ::GetDpiForSystem();
  if (!create(win::kFormClass, L"Stickwell", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW,
              TwipsToPixels(kStartLeft, systemDpi), TwipsToPixels(kStartTop, systemDpi),
              TwipsToPixels(geometry_.width, systemDpi), TwipsToPixels(geometry_.height, systemDpi), nullptr, nullptr))
    return false;
  if (dpi_ != systemDpi) {
    ::SetWindowPos(hwnd(), nullptr, TwipsToPixels(kStartLeft, dpi_), TwipsToPixels(kStartTop, dpi_),
                   TwipsToPixels(geometry_.width, dpi_), TwipsToPixels(geometry_.height, dpi_),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // Start-up's own placement and the start time, before the window shows: it shows once, complete.
  geometry_.width = width();
  geometry_.height = height();
  PlaceAtStartup(geometry_);
  controls_.grip.setBackColour(controls_.bodyColours.back());
  placeControls();
  created_ = true;
  controls_.startTime.setCaption(win::Wide(StartTimeCaption(started)));
  const std::wstring& folder = win::ProgramFolder();

  ShowAtStartup(hwnd(), showCommand);
  store_.claim(folder, started);
  watcher_.start();
  // The timer's first tick comes once the queue is empty: the window has painted and takes input.
  if (!::SetTimer(hwnd(), kFinishStartupTimerId, 0, nullptr)) {
    win::TraceLastError({L"SetTimer rest of start-up"});
    finishStartup();
  }
  return true;
}

void NoteWindow::finishStartup() {
  ::KillTimer(hwnd(), kFinishStartupTimerId);
  if (started_) return;
  started_ = true;
  const std::wstring folder = store_.folder();
  // Not queued: the documents are written by the next note, and the sweep waits for it.
  win::RunInBackground(
      [folder] {
        WriteTextDocuments(win::ProgramFolder());
        SweepSavingFiles(folder);
      },
      L"the text documents and the temporary files");
  push_.start(hwnd());
  if (store_.savesNowhere()) TellNoteCannotBeSaved();
}

bool NoteWindow::beforeDispatch(MSG& message) {
  if (push_.isDialogMessage(message)) return true;
  if (keys_.beforeDispatch(message)) return true;
  RunFontShortcut(*this, message);
  return false;
}

// The note ------------------------------------------------------------------------------------------

std::wstring NoteWindow::title() const { return controls_.title.caption(); }
void NoteWindow::setTitle(std::wstring_view title) {
  // Every click in the body sets the title again: readers hear only of a new one.
  const bool changed = title != controls_.title.caption();
  controls_.title.setCaption(title);
  if (changed) AnnounceTitleChange(*this);
}
std::wstring NoteWindow::body() const { return TextOf(controls_.body); }
void NoteWindow::setBody(std::wstring_view body) { ::SetWindowTextW(controls_.body, std::wstring(body).c_str()); }
std::wstring NoteWindow::titleEditorText() const { return TextOf(controls_.titleEditor); }
void NoteWindow::setTitleEditorText(std::wstring_view text) {
  ::SetWindowTextW(controls_.titleEditor, std::wstring(text).c_str());
}

bool NoteWindow::saveNote() {
  // Focus changes while the window first shows come before the note file has a name.
  if (store_.fileName().empty()) return false;
  return store_.save(title(), body());
}

bool NoteWindow::saveNoteIfChanged() {
  if (store_.fileName().empty()) return false;
  return store_.saveIfChanged(title(), body());
}

void NoteWindow::beginTitleEdit() {
  controls_.ensureTitleEditorFont();
  ::ShowWindow(controls_.titleEditor, SW_SHOW);
  ::SetFocus(controls_.titleEditor);
  setTitleEditorColours(backColour_, controls_.titleEditorColours.fore());
}

void NoteWindow::commitTitle() {
  setTitle(titleEditorText());
  ::ShowWindow(controls_.titleEditor, SW_HIDE);
}

void NoteWindow::newNote() { win::LaunchProgram(win::InProgramFolder(L"Stickwell.exe")); }

void NoteWindow::deleteNote() {
  store_.remove();
  ::ExitProcess(0);
}

// Layout and placement --------------------------------------------------------------------------------

void NoteWindow::applyLayout() {
  if (!created_) return;
  geometry_.width = width();
  geometry_.height = height();
  FormResize(geometry_);
  const int wantWidth = TwipsToPixels(geometry_.width, dpi_);
  const int wantHeight = TwipsToPixels(geometry_.height, dpi_);
  RECT now;
  ::GetWindowRect(hwnd(), &now);
  if (wantWidth != now.right - now.left || wantHeight != now.bottom - now.top) {
    // The window's own size change lays it out again, at the size it keeps.
    ::SetWindowPos(hwnd(), nullptr, 0, 0, wantWidth, wantHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  placeControls();
}

void NoteWindow::placeControls() { controls_.place(geometry_, dpi_); }

float NoteWindow::left() const {
  RECT r;
  ::GetWindowRect(hwnd(), &r);
  return PixelsToTwips(r.left, dpi_);
}

float NoteWindow::top() const {
  RECT r;
  ::GetWindowRect(hwnd(), &r);
  return PixelsToTwips(r.top, dpi_);
}

float NoteWindow::width() const {
  RECT r;
  ::GetWindowRect(hwnd(), &r);
  return PixelsToTwips(r.right - r.left, dpi_);
}

float NoteWindow::height() const {
  RECT r;
  ::GetWindowRect(hwnd(), &r);
  return PixelsToTwips(r.bottom - r.top, dpi_);
}

void NoteWindow::moveTo(float left, float top) {
  ::SetWindowPos(hwnd(), nullptr, TwipsToPixels(left, dpi_), TwipsToPixels(top, dpi_), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NoteWindow::setWidth(float width) {
  RECT r;
  ::GetWindowRect(hwnd(), &r);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, TwipsToPixels(width, dpi_), r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NoteWindow::setHeight(float height) {
  RECT r;
  ::GetWindowRect(hwnd(), &r);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, TwipsToPixels(height, dpi_),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NoteWindow::onDpiChanged(unsigned dpi, const RECT& suggested) {
  dpi_ = dpi;
  watcher_.onDisplayChange();
  controls_.setDpi(dpi);
  ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  placeControls();
}

// Colours -----------------------------------------------------------------------------------------------

void NoteWindow::setBackColour(win::ColourValue colour) {
  backColour_ = colour;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void NoteWindow::setEditColours(HWND box, EditColours& colours, win::ColourValue back, win::ColourValue fore) {
  colours.set(back, fore);
  ::InvalidateRect(box, nullptr, TRUE);
}

// Events ------------------------------------------------------------------------------------------------

void NoteWindow::onPointer(int controlId, const win::PointerEvent& event) { HandlePointer(*this, controlId, event); }

bool NoteWindow::onTextBoxMessage(int controlId, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_GETOBJECT) return AnswerTextBoxObject(*this, controlId, wParam, lParam, result);
  if (message == WM_CONTEXTMENU) {
    // The keyboard's requests come without a place (-1, -1).
    const bool fromKeyboard = GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1;
    switch (AnswerContextMenu(controlId == kBodyId ? NotePart::Body : NotePart::TitleEditor, fromKeyboard)) {
      case ContextMenuAnswer::NoteMenuAtCaret: showMenuAtCaret(control(controlId)); return true;
      case ContextMenuAnswer::Swallow: return true;
      case ContextMenuAnswer::PassOn: return false;
    }
  }
  win::PointerEvent event;
  if (win::ReadPointerMessage(message, wParam, lParam, event)) {
    if (HandlePointer(*this, controlId, event)) return true;
    if (event.kind == win::PointerEvent::Kind::Release && event.buttons == 1) {
      RECT client;
      ::GetClientRect(control(controlId), &client);
      if (::PtInRect(&client, event.pixel)) onPointer(controlId, {win::PointerEvent::Kind::Click, 1, event.modifiers, event.pixel});
    }
  }
  return false;
}

LRESULT CALLBACK NoteWindow::TextBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                              DWORD_PTR self) {
  LRESULT result = 0;
  try {
    if (reinterpret_cast<NoteWindow*>(self)->onTextBoxMessage(static_cast<int>(id), message, wParam, lParam, result))
      return result;
  } catch (...) {
    // Never let an exception unwind through the text box's frames; the box handles the message.
    win::TraceException({L"text box procedure, message ", win::Hex(message)});
  }
  return win::CallSubclassedControl(box, message, wParam, lParam);
}

void NoteWindow::showMenuAtCaret(HWND box) {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  POINT at{0, 0};
  if (::GetGUIThreadInfo(::GetCurrentThreadId(), &thread) && thread.hwndCaret == box)
    at = {thread.rcCaret.left, thread.rcCaret.bottom};  // below the caret, where the next line would go
  ::ClientToScreen(box, &at);
  menu_.popup(at);
}

void NoteWindow::onActivate(bool active) {
  if (!active) {
    const HWND focus = ::GetFocus();
    if (focus && ::IsChild(hwnd(), focus)) lastFocus_ = focus;
    saveNote();
    return;
  }
  // Back to where the user was typing; the body when the title editor has closed since.
  HWND focus = lastFocus_ && ::IsWindowVisible(lastFocus_) ? lastFocus_ : controls_.body;
  ::SetFocus(focus);
}

void NoteWindow::onCommand(int controlId, int code) {
  if (code == EN_CHANGE && (controlId == kBodyId || controlId == kTitleEditorId)) watcher_.onTextChanged();
  if (code != EN_KILLFOCUS) return;
  if (controlId == kBodyId) saveNote();
  if (controlId == kTitleEditorId) commitTitle();
}

LRESULT NoteWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
#ifdef STICKWELL_TEST_PROBES
  if (LRESULT answer = 0; probe::HandleMessage(message, wParam, answer)) return answer;
#endif
  if (push_.handleMessage(message, wParam, lParam)) return 0;
  win::PointerEvent event;
  if (win::ReadPointerMessage(message, wParam, lParam, event)) {
    onPointer(kFormId, event);
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      dpi_ = win::WindowDpi(hwnd());
      geometry_.width = width();
      geometry_.height = height();
      PlaceAtStartup(geometry_);
      if (!controls_.create(hwnd(), *this, dpi_, geometry_)) return -1;
      win::SubclassControl(controls_.body, &TextBoxProcedure, kBodyId, reinterpret_cast<DWORD_PTR>(this));
      win::SubclassControl(controls_.titleEditor, &TextBoxProcedure, kTitleEditorId, reinterpret_cast<DWORD_PTR>(this));
      ChooseContrast(controls_);
      DescribeForReaders(*this);
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) applyLayout();
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(hwnd(), &client);
      win::UniqueBrush back(::CreateSolidBrush(win::Resolve(PaintedNow(ColourRole::Face, {backColour_, backColour_}).back)));
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, back.get());
      return 1;
    }
    case WM_ACTIVATE:
      onActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      const auto box = reinterpret_cast<HWND>(lParam);
      const auto dc = reinterpret_cast<HDC>(wParam);
      if (box == controls_.body) return reinterpret_cast<LRESULT>(controls_.bodyColours.paint(dc));
      if (box == controls_.titleEditor) return reinterpret_cast<LRESULT>(controls_.titleEditorColours.paint(dc));
      break;
    }
    case WM_SETCURSOR:
      // Every control asks its form about the pointer shape when the pointer moves over it. The
      // tooltips come with the pointer, once start-up is over.
      if (started_) controls_.ensureTooltips();
      if (pointerShape_.apply()) return TRUE;
      break;
    case WM_TIMER:
      if (wParam == Watcher::kWatchTimerId) {
        watcher_.tick();
        return 0;
      }
      if (wParam == kFinishStartupTimerId) {
        finishStartup();
        return 0;
      }
      break;
    case WM_SYSCOLORCHANGE:
      win::FollowSystemColours(hwnd(), message);
      break;
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
      if (message == WM_SETTINGCHANGE) win::FollowSystemColours(hwnd(), message);
      watcher_.onDisplayChange();
      break;
    case WM_ENTERSIZEMOVE:
    case WM_EXITSIZEMOVE:
      watcher_.onMoveLoop(message == WM_ENTERSIZEMOVE);
      break;
    case WM_DPICHANGED:
      onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_ENDSESSION:
      // Logging off ends the process without a word: the note keeps its last text.
      if (wParam) SaveBeforeTheEnd(*this);
      return 0;
    case WM_CLOSE:
      CloseKeepingTheFile(*this);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return Window::handleMessage(message, wParam, lParam);
}

}  // namespace stickwell::note
