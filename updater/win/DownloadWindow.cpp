#include "updater/win/DownloadWindow.h"

#include <commctrl.h>

#include "shared/Text.h"
#include "shared/win/Crypto.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/Launch.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/UpdatePageFetch.h"
#include "shared/win/WideText.h"
#include "updater/core/ProgressBar.h"
#include "updater/win/ControlIds.h"
#include "updater/win/Forms.h"

namespace stickwell::updater {
namespace {

using namespace ids;

constexpr UINT kUpdatePageArrived = WM_APP + 1;
constexpr UINT kSharePageArrived = WM_APP + 2;
constexpr UINT kDownloadMessage = WM_APP + 3;
constexpr UINT_PTR kCountdownTimer = 1;

// A red status line; the window is fully transparent but for it and the bar.
constexpr win::StatusWindow::Look kLook{kUpdaterCaption, 0, RGB(255, 0, 0), kStatus, kProgress};

void ShowOnBar(HWND bar, std::uint64_t received, std::optional<std::uint64_t> length) {
  const BarPosition position = BarFor(received, length);
  ::SendMessageW(bar, PBM_SETRANGE32, 0, position.range);
  ::SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position.position), 0);
}

}  // namespace

DownloadWindow::DownloadWindow(bool mayInstall)
    : mayInstall_(mayInstall), run_(win::TrustUpdatePage), folder_(win::ProgramFolder()) {}

bool DownloadWindow::open() {
  if (!createStatusWindow(kLook, nullptr)) return false;
  FormOpened();
  ::SendMessageW(bar(), PBM_SETRANGE32, 0, 100);
  setStatus(L"正在准备更新...");

  ::ShowWindow(hwnd(), SW_SHOWNORMAL);
  ::UpdateWindow(hwnd());
  carryOut(run_.opened(::FindWindowW(win::kFormClass, L"Stickwell") != nullptr));
  return true;
}

void DownloadWindow::carryOut(const Step& step) {
  switch (step.action) {
    case Action::None:
      return;
    case Action::FetchPage:
      // The offer window has just read the page; here it is read again, without asking whether the
      // machine is connected.
      return page_.start(hwnd(), kUpdatePageArrived, [] { return win::FetchUrl(win::UpdatePageUrl()); });
    case Action::FetchSharePage:
      return page_.start(hwnd(), kSharePageArrived, [address = win::Wide(step.address)] { return win::FetchUrl(address); });
    case Action::BeginStaging:
      return carryOut(run_.stagingBegun(mayInstall_ && install::BeginStaging(folder_, step.targets)));
    case Action::Download:
      setStatus(win::Wide(step.status));
      ShowOnBar(bar(), 0, std::nullopt);
      return download_.start(hwnd(), kDownloadMessage, win::Wide(step.address), win::InProgramFolder(win::Wide(step.file)),
                             step.hash);
    case Action::Install:
      return carryOut(run_.installed(install::InstallStaged(folder_, step.staged).outcome));
    case Action::ShowCountdown:
      setStatus(win::Wide(step.status));
      if (!::SetTimer(hwnd(), kCountdownTimer, 1000, nullptr)) win::TraceLastError({L"SetTimer countdown"});
      return;
    case Action::RefuseWhileNoteRuns:
    case Action::StartNote:
    case Action::Fail:
    case Action::Abandon:
      return end(step);
  }
}

// Every way the window goes: a message first or a question after, or the note started after it.
void DownloadWindow::end(const Step& step) {
  if (ending_) return;
  ending_ = true;
  ::KillTimer(hwnd(), kCountdownTimer);
  download_.cancel();
  page_.drop();
  // Nothing staged stays behind: the folder is as it was.
  if (!step.targets.empty() && install::AbandonStaging(folder_, step.targets) != install::Outcome::RolledBack)
    win::TraceError(ERROR_RETRY, {L"staged files are left for the next start to remove"});
  switch (step.action) {
    case Action::RefuseWhileNoteRuns:
      ::MessageBoxW(hwnd(), L"发现原程序正在运行,请关闭原程序后再点击更新.", L"Stickwell 更新提示:", MB_OK | MB_ICONWARNING);
      break;
    case Action::Fail:
      AskToOpenSiteAfterFailure(hwnd());
      break;
    default:
      break;
  }
  // The window goes first: the note program completes the exchange of the updater's file only while
  // no updater window is open.
  ::DestroyWindow(hwnd());
  if (step.action == Action::StartNote) win::LaunchProgram(win::InProgramFolder(L"Stickwell.exe"));
}

void DownloadWindow::onPageArrived(bool sharePage) {
  const auto page = page_.take();
  if (!page) return;
  std::optional<std::u16string> text;
  if (page->status == win::FetchStatus::Ok) text = Utf8ToText(page->body);
  carryOut(sharePage ? run_.sharePageRead(text) : run_.pageRead(text));
}

void DownloadWindow::onDownloadEvent(win::DownloadEvent event) {
  if (event != win::DownloadEvent::Finished) {
    const win::DownloadProgress progress = download_.progress();
    return ShowOnBar(bar(), progress.received, progress.contentLength);
  }
  const auto result = download_.takeResult();
  if (!result) return;
  ShowOnBar(bar(), result->received, result->contentLength ? result->contentLength : result->received);
  carryOut(run_.fileDownloaded({result->complete(), result->received, result->contentLength, result->sha256}));
}

LRESULT DownloadWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kUpdatePageArrived:
    case kSharePageArrived:
      if (!ending_) onPageArrived(message == kSharePageArrived);
      return 0;
    case kDownloadMessage:
      if (!ending_) onDownloadEvent(static_cast<win::DownloadEvent>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kCountdownTimer && !ending_) carryOut(run_.countdownTick());
      return 0;
    case WM_COMMAND:
      // Esc, which the dialog keys turn into IDCANCEL, closes the window as its close command does.
      if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == 0) ::SendMessageW(hwnd(), WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE: {
      // Closed before the install: nothing staged stays behind.
      const Step step = run_.closed();
      if (step.action != Action::None) return end(step), 0;
      break;
    }
  }
  return StatusWindow::handleMessage(message, wParam, lParam);
}

void DownloadWindow::onDestroyed() {
  download_.cancel();
  FormClosed();
}

}  // namespace stickwell::updater
