#include "note/win/UpdateCheckWindow.h"

#include <commctrl.h>

#include "shared/Twips.h"
#include "shared/UpdatePage.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/CommonControls.h"
#include "shared/win/Dpi.h"
#include "shared/win/Launch.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/StatusForm.h"
#include "shared/win/WideText.h"

namespace stickwell::note {
namespace {

constexpr UINT kPageTextArrived = WM_APP + 1;
constexpr UINT_PTR kBarTimer = 1;  // the bar's 10 ms timer
constexpr UINT kBarTickMs = 10;
constexpr int kStatusId = 1;
constexpr int kBarId = 2;

// Pure blue: the background, and the colour the desktop shows through.
constexpr COLORREF kColourKey = RGB(0, 0, 255);
constexpr COLORREF kStatusColour = RGB(0, 0xC0, 0);

constexpr SIZE kClient{4620, 780};  // twips
constexpr RECT kStatusLine{60, 30, 4560, 360};
constexpr RECT kBar{60, 420, 4560, 720};

std::wstring Text(std::u16string_view text) { return win::Wide(text); }

}  // namespace

void UpdateCheckWindow::open(HWND owner) {
  if (isOpen()) return;
  win::CommonControlsScope themed;  // the progress bar
  win::RegisterWindowClass(win::kFormClass, CS_DBLCLKS);
  if (!create(win::kFormClass, L"自动更新", WS_POPUP | WS_CLIPCHILDREN, WS_EX_LAYERED, 0, 0, 100, 100, owner, nullptr))
    return;
  // The colour key alone decides what shows: the alpha value is ignored.
  ::SetLayeredWindowAttributes(hwnd(), kColourKey, 10, LWA_COLORKEY);

  win::CentreOnWorkArea(hwnd(), kClient);
  status_ = win::CreateChildAtTwips(hwnd(), L"STATIC", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, kStatusId, kStatusLine);
  bar_ = win::CreateChildAtTwips(hwnd(), PROGRESS_CLASSW, PBS_SMOOTH, kBarId, kBar);
  statusFont_.reset(win::CreateStatusFont(hwnd()));
  ::SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_.get()), FALSE);
  ::SendMessageW(bar_, PBM_SETRANGE32, 0, kLastValue);
  ::SendMessageW(bar_, PBM_SETPOS, 0, 0);
  setStatus(kCheckingText);
  ticks_.reset();

  // Nothing in the window takes typing: the user's note keeps the keyboard.
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(hwnd());

  // The page is read on a worker: the window keeps painting "正在检查更新..." and the note stays
  // usable however long the server takes. The bar starts when the answer is in.
  pageText_.start(hwnd(), kPageTextArrived, win::FetchUpdatePageText);
}

void UpdateCheckWindow::setStatus(std::u16string_view text) {
  ::SetWindowTextW(status_, Text(text).c_str());
  ::InvalidateRect(status_, nullptr, TRUE);
}

void UpdateCheckWindow::onPageText() {
  auto answer = pageText_.take();
  if (!answer) return;
  std::optional<std::u16string> page;
  if (answer->status == win::FetchStatus::Ok) page = win::U16(answer->text);
  auto finding = FindUpdate(answer->status != win::FetchStatus::NotConnected, page, page::OwnVersionText());
  // A page that cannot be read, or names no version, ends the check without a word.
  if (!finding) return close();
  ticks_.emplace(std::move(*finding));
  ::SetTimer(hwnd(), kBarTimer, kBarTickMs, nullptr);
}

void UpdateCheckWindow::onTick() {
  if (!ticks_) return;
  const CheckStep step = ticks_->tick();
  ::SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(step.value), 0);
  if (step.status) setStatus(*step.status);
  if (step.ask) return askToUpdate(ticks_->finding().pageVersion);
  if (step.close) close();
}

void UpdateCheckWindow::askToUpdate(std::u16string pageVersion) {
  // The timer keeps ticking while the box is open; the ticks know the question has been asked.
  const int answer = win::ThemedMessageBox(hwnd(), Text(NewVersionQuestion(pageVersion)).c_str(),
                                          Text(kNewVersionTitle).c_str(), MB_OKCANCEL);
  if (answer == IDOK) handOver();
  close();
}

void UpdateCheckWindow::handOver() {
  const std::wstring updater = win::InProgramFolder(L"Renewick.exe");
  if (win::FileExists(updater)) {
    // The updater replaces this program's files, so the note ends at once; what was typed since the
    // last save must be in the note file first (a crash-safe write: a failed one leaves the previous
    // save intact).
    const bool saved = saveNote_ && saveNote_();
    if (win::LaunchProgram(updater)) {
      // A note that could not be written stays open rather than lose its text: the updater asks the
      // user to close it before it replaces anything.
      if (saved) ::ExitProcess(0);
      return;
    }
    // An updater that does not start is as good as a damaged one: the note stays, and the user is
    // offered the full program instead.
  }
  if (win::ThemedMessageBox(hwnd(), Text(kUpdaterMissingQuestion).c_str(), Text(kUpdaterMissingTitle).c_str(),
                            MB_YESNO) == IDYES)
    win::OpenOfficialSite();
}

void UpdateCheckWindow::close() {
  if (hwnd()) ::DestroyWindow(hwnd());
}

LRESULT UpdateCheckWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kPageTextArrived:
      onPageText();
      return 0;
    case WM_TIMER:
      if (wParam == kBarTimer) onTick();
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(hwnd(), &client);
      win::UniqueBrush blue(::CreateSolidBrush(kColourKey));
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, blue.get());
      return 1;
    }
    case WM_CTLCOLORSTATIC: {
      const auto dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, kStatusColour);
      ::SetBkColor(dc, kColourKey);
      ::SetDCBrushColor(dc, kColourKey);
      return reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH));
    }
    case WM_DESTROY:
      ::KillTimer(hwnd(), kBarTimer);
      pageText_.drop();
      ticks_.reset();
      break;
  }
  return Window::handleMessage(message, wParam, lParam);
}

}  // namespace stickwell::note
