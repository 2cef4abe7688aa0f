#include "note/win/UpdateCheckWindow.h"

#include <commctrl.h>

#include "note/win/UpdatePageAnswer.h"
#include "shared/Text.h"
#include "shared/UpdatePage.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/CommonControls.h"
#include "shared/win/Crypto.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/Launch.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/UpdatePageFetch.h"
#include "shared/win/WideText.h"

namespace stickwell::note {
namespace {

constexpr UINT kFindingArrived = WM_APP + 1;
constexpr UINT_PTR kBarTimer = 1;  // the bar's 10 ms timer
constexpr UINT kBarTickMs = 10;
constexpr int kStatusId = 1;
constexpr int kBarId = 2;

// A green status line; the colour key alone decides what shows, the alpha value is ignored.
constexpr win::StatusWindow::Look kLook{L"自动更新", 10, RGB(0, 0xC0, 0), kStatusId, kBarId};

std::wstring Text(std::u16string_view text) { return win::Wide(text); }

// The page's bytes are UTF-8, read as the updater and the message push read them, so that all agree
// on the page's version. With a key built into the program, a page that names another version counts
// only when its signed list verifies and names that version; without one, every page counts.
std::optional<CheckFinding> ReadFinding() {
  const win::FetchResult page = win::FetchUpdatePage();
  const PageAnswer answer = AnswerOf(page.status);
  const std::u16string text = answer == PageAnswer::Arrived ? Utf8ToText(page.body) : std::u16string();
  return FindUpdate(answer, text, page::OwnVersionText(), [](std::u16string_view page, std::u16string_view version) {
    return win::TrustUpdatePage(page, version).ok();
  });
}

}  // namespace

void UpdateCheckWindow::open(HWND owner) {
  if (isOpen()) return;
  if (!createStatusWindow(kLook, owner)) return;
  ::SendMessageW(bar(), PBM_SETRANGE32, 0, kLastBarValue);
  ::SendMessageW(bar(), PBM_SETPOS, 0, 0);
  setStatus(Text(kCheckingText));
  check_.emplace();

  // Nothing in the window takes typing: the user's note keeps the keyboard.
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(hwnd());

  // The page is read on a worker: the window keeps painting "正在检查更新..." and the note stays
  // usable however long the server takes. The bar starts when the answer is in.
  finding_.start(hwnd(), kFindingArrived, ReadFinding);
}

void UpdateCheckWindow::carryOut(CheckStep step) {
  using Action = CheckStep::Action;
  // The questions are modal: the bar's timer keeps ticking meanwhile, and the check ignores it.
  for (;;) {
    if (step.bar) ::SendMessageW(bar(), PBM_SETPOS, static_cast<WPARAM>(*step.bar), 0);
    if (step.status) setStatus(Text(*step.status));
    const std::wstring question = Text(step.text);
    const std::wstring updater = win::InProgramFolder(L"Renewick.exe");
    switch (step.action) {
      case Action::None: return;
      case Action::StartBar:
        if (!::SetTimer(hwnd(), kBarTimer, kBarTickMs, nullptr)) win::TraceLastError({L"SetTimer update check bar"});
        return;
      case Action::AskToUpdate: {
        const int answer = win::ThemedMessageBox(hwnd(), question.c_str(), Text(kNewVersionTitle).c_str(), MB_OKCANCEL);
        step = check_->answered(answer == IDOK, win::FileExists(updater));
        break;
      }
      case Action::LaunchUpdater: {
        // The updater replaces this program's files, so the note ends at once; what was typed since
        // the last save must be in the note file first.
        const bool saved = saveNote_ && saveNote_();
        step = check_->launched(saved, win::LaunchProgram(updater));
        break;
      }
      case Action::AskUpdaterMissing: {
        const int answer = win::ThemedMessageBox(hwnd(), question.c_str(), Text(kUpdaterMissingTitle).c_str(), MB_YESNO);
        step = check_->updaterMissingAnswered(answer == IDYES);
        break;
      }
      case Action::OpenSiteAndClose:
        win::OpenOfficialSite();
        return close();
      case Action::Close: return close();
      case Action::EndProgram: ::ExitProcess(0);
    }
  }
}

void UpdateCheckWindow::close() {
  if (hwnd()) ::DestroyWindow(hwnd());
}

LRESULT UpdateCheckWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kFindingArrived:
      if (auto finding = finding_.take(); finding && check_) carryOut(check_->pageArrived(std::move(*finding)));
      return 0;
    case WM_TIMER:
      if (wParam == kBarTimer && check_) carryOut(check_->tick());
      return 0;
    case WM_DESTROY:
      ::KillTimer(hwnd(), kBarTimer);
      finding_.drop();
      check_.reset();
      break;
  }
  return StatusWindow::handleMessage(message, wParam, lParam);
}

}  // namespace stickwell::note
