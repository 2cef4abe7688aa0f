#include "updater/win/DownloadWindow.h"

#include <commctrl.h>

#include <climits>

#include "shared/Text.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/Launch.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/UpdatePageFetch.h"
#include "shared/win/WideText.h"
#include "updater/core/Countdown.h"
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

// The bar counts bytes; a file beyond what the control can count is shown to scale.
void ShowBytes(HWND bar, unsigned long long done, unsigned long long total) {
  unsigned shift = 0;
  while ((total >> shift) > static_cast<unsigned long long>(INT_MAX)) ++shift;
  ::SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total >> shift));
  ::SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>((done < total ? done : total) >> shift), 0);
}

}  // namespace

bool DownloadWindow::open() {
  if (!createStatusWindow(kLook, nullptr)) return false;
  FormOpened();
  ::SendMessageW(bar(), PBM_SETRANGE32, 0, 100);
  setStatus(L"正在准备更新...");

  ::ShowWindow(hwnd(), SW_SHOWNORMAL);
  ::UpdateWindow(hwnd());

  // The note program must not run while its files are replaced.
  if (::FindWindowW(win::kFormClass, L"Stickwell")) {
    ::MessageBoxW(hwnd(), L"发现原程序正在运行,请关闭原程序后再点击更新.", L"Stickwell 更新提示:", MB_OK | MB_ICONWARNING);
    ending_ = true;
    ::DestroyWindow(hwnd());
    return true;
  }
  // The offer window has just read the page; here it is read again, without asking whether the
  // machine is connected.
  page_.start(hwnd(), kUpdatePageArrived, [] { return win::FetchUrl(win::UpdatePageUrl()); });
  return true;
}

void DownloadWindow::onUpdatePage() {
  const auto page = page_.take();
  if (!page) return;
  if (page->status != win::FetchStatus::Ok) return fail();
  auto entries = page::ReadDownloadList(Utf8ToText(page->body));
  if (!entries || entries->empty()) return fail();
  entries_ = std::move(*entries);
  requestNextSharePage();
}

void DownloadWindow::requestNextSharePage() {
  const std::wstring address = win::Wide(entries_[directAddresses_.size()].shareAddress);
  page_.start(hwnd(), kSharePageArrived, [address] { return win::FetchUrl(address); });
}

void DownloadWindow::onSharePage() {
  const auto page = page_.take();
  if (!page) return;
  if (page->status != win::FetchStatus::Ok) return fail();
  auto direct = page::ReadDirectAddress(Utf8ToText(page->body));
  if (!direct) return fail();
  directAddresses_.push_back(std::move(*direct));
  if (directAddresses_.size() < entries_.size()) return requestNextSharePage();

  auto plan = PlanDownloads(entries_, directAddresses_);
  if (!plan) return fail();
  plan_ = std::move(*plan);
  startDownload(0);
}

std::wstring DownloadWindow::partialPath(size_t index) const {
  // Beside its target, so that finishing it is one rename on the same volume.
  return win::InProgramFolder(win::Wide(plan_[index].fileName) + L".partial");
}

void DownloadWindow::startDownload(size_t index) {
  current_ = index;
  setStatus(win::Wide(plan_[index].status));
  ::SendMessageW(bar(), PBM_SETPOS, 0, 0);
  download_.start(hwnd(), kDownloadMessage, win::Wide(plan_[index].address), partialPath(index));
}

void DownloadWindow::onDownloadEvent(win::DownloadEvent event) {
  if (event == win::DownloadEvent::Finished) return onDownloadFinished();
  const win::DownloadProgress progress = download_.progress();
  if (progress.contentLength) {
    ShowBytes(bar(), progress.received, *progress.contentLength);
  } else {
    // Without a length the bar can only say that bytes are coming: keep it moving round.
    ::SendMessageW(bar(), PBM_SETRANGE32, 0, 100);
    ::SendMessageW(bar(), PBM_SETPOS, static_cast<WPARAM>((progress.received >> 16) % 101), 0);
  }
}

void DownloadWindow::onDownloadFinished() {
  const auto result = download_.takeResult();
  if (!result) return;
  const std::wstring partial = partialPath(current_);
  const bool complete = result->complete() &&
                        IsCompleteDownload(result->received, result->contentLength, /*bodyEnded=*/true);
  // Only a complete file replaces its target, in one step; the old file stays untouched otherwise.
  if (!complete || !win::MoveOver(partial, win::InProgramFolder(win::Wide(plan_[current_].fileName)))) {
    win::RemoveFile(partial);
    return fail();
  }
  ShowBytes(bar(), result->received, result->received ? result->received : 1);
  if (current_ + 1 < plan_.size()) return startDownload(current_ + 1);

  setStatus(win::Wide(CountdownText(kCountdownSeconds)));
  if (!::SetTimer(hwnd(), kCountdownTimer, 1000, nullptr)) win::TraceLastError({L"SetTimer countdown"});
}

void DownloadWindow::onCountdownTick() {
  const CountdownStep step = AdvanceCountdown(countdownTicks_);
  if (!step.finished) return setStatus(win::Wide(step.status));
  ::KillTimer(hwnd(), kCountdownTimer);
  ending_ = true;
  // The window goes first: the note program completes the exchange of the updater's file only while
  // no updater window is open.
  ::DestroyWindow(hwnd());
  win::LaunchProgram(win::InProgramFolder(L"Stickwell.exe"));
}

void DownloadWindow::fail() {
  if (ending_) return;
  ending_ = true;
  download_.cancel();
  page_.drop();
  AskToOpenSiteAfterFailure(hwnd());
  ::DestroyWindow(hwnd());
}

LRESULT DownloadWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kUpdatePageArrived:
      if (!ending_) onUpdatePage();
      return 0;
    case kSharePageArrived:
      if (!ending_) onSharePage();
      return 0;
    case kDownloadMessage:
      if (!ending_) onDownloadEvent(static_cast<win::DownloadEvent>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kCountdownTimer) onCountdownTick();
      return 0;
    case WM_CLOSE:
      // Closing mid-download leaves no partial file behind.
      ending_ = true;
      download_.cancel();
      if (!plan_.empty()) win::RemoveFile(partialPath(current_));
      break;
  }
  return StatusWindow::handleMessage(message, wParam, lParam);
}

void DownloadWindow::onDestroyed() {
  download_.cancel();
  FormClosed();
}

}  // namespace stickwell::updater
