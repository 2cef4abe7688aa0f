#include "note/win/UpdateCheckWindow.h"

#include <commctrl.h>

#include "shared/UpdatePage.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/CommonControls.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/Launch.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/WideText.h"

namespace stickwell::note {
namespace {

constexpr UINT kPageTextArrived = WM_APP + 1;
constexpr UINT_PTR kBarTimer = 1;  // the bar's 10 ms timer
constexpr UINT kBarTickMs = 10;
constexpr int kStatusId = 1;
constexpr int kBarId = 2;

// A green status line; the colour key alone decides what shows, the alpha value is ignored.
constexpr win::StatusWindow::Look kLook{L"自动更新", 10, RGB(0, 0xC0, 0), kStatusId, kBarId};

std::wstring Text(std::u16string_view text) { return win::Wide(text); }

}  // namespace

void UpdateCheckWindow::open(HWND owner) {
  if (isOpen()) return;
  if (!createStatusWindow(kLook, owner)) return;
  ::SendMessageW(bar(), PBM_SETRANGE32, 0, kLastValue);
  ::SendMessageW(bar(), PBM_SETPOS, 0, 0);
  setStatus(Text(kCheckingText));
  ticks_.reset();

  // Nothing in the window takes typing: the user's note keeps the keyboard.
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(hwnd());

  // The page is read on a worker: the window keeps painting "正在检查更新..." and the note stays
  // usable however long the server takes. The bar starts when the answer is in.
  pageText_.start(hwnd(), kPageTextArrived, win::FetchUpdatePageText);
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
  if (!::SetTimer(hwnd(), kBarTimer, kBarTickMs, nullptr)) win::TraceLastError({L"SetTimer update check bar"});
}

void UpdateCheckWindow::onTick() {
  if (!ticks_) return;
  const CheckStep step = ticks_->tick();
  ::SendMessageW(bar(), PBM_SETPOS, static_cast<WPARAM>(step.value), 0);
  if (step.status) setStatus(Text(*step.status));
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
    case WM_DESTROY:
      ::KillTimer(hwnd(), kBarTimer);
      pageText_.drop();
      ticks_.reset();
      break;
  }
  return StatusWindow::handleMessage(message, wParam, lParam);
}

}  // namespace stickwell::note
