#include "updater/win/DownloadWindow.h"

#include <commctrl.h>

#include "shared/PeImage.h"
#include "shared/Text.h"
#include "shared/win/Crypto.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/Launch.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/UpdatePageFetch.h"
#include "shared/win/WideText.h"
#include "shared/win/WinHandles.h"
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

bool NoteWindowOpen() { return ::FindWindowW(win::kFormClass, L"Stickwell") != nullptr; }

// Reads only the headers and the section table of the file, however large it is.
bool IsWholeProgramFile(const std::wstring& path) {
  win::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size)) {
    win::TraceLastError({L"reading the program image ", path});
    return false;
  }
  const bool whole = download::IsWholeProgramImage(static_cast<std::uint64_t>(size.QuadPart), [&](std::uint64_t offset, std::size_t count) {
    std::string bytes(count, '\0');
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset), at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(count), &read, &at)) read = 0;
    bytes.resize(read);
    return bytes;
  });
  if (!whole) win::TraceError(ERROR_BAD_EXE_FORMAT, {L"not a whole program image: ", path});
  return whole;
}

void ShowOnBar(HWND bar, std::uint64_t received, std::optional<std::uint64_t> length) {
  const BarPosition position = BarFor(received, length);
  ::SendMessageW(bar, PBM_SETRANGE32, 0, position.range);
  ::SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position.position), 0);
}

}  // namespace

DownloadWindow::DownloadWindow(win::InstallLock& lock)
    : lock_(lock), run_(win::TrustUpdatePage), folder_(win::ProgramFolder()) {}

bool DownloadWindow::open() {
  if (!createStatusWindow(kLook, nullptr)) return false;
  FormOpened();
  ::SendMessageW(bar(), PBM_SETRANGE32, 0, 100);
  setStatus(L"正在准备更新...");

  ::ShowWindow(hwnd(), SW_SHOWNORMAL);
  ::UpdateWindow(hwnd());
  carryOut(run_.opened(NoteWindowOpen()));
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
      return carryOut(run_.stagingBegun(lock_.held() && install::BeginStaging(folder_, step.targets)));
    case Action::Download:
      setStatus(win::Wide(step.status));
      ShowOnBar(bar(), 0, std::nullopt);
      downloading_ = win::InProgramFolder(win::Wide(step.file));
      checkImage_ = step.checkImage;
      return download_.start(hwnd(), kDownloadMessage, win::Wide(step.address), downloading_, step.hash);
    case Action::Install:
      // The first look was before the downloads: a note that started since would hold its own file.
      if (NoteWindowOpen()) return carryOut(run_.noteOpenedBeforeInstall());
      return carryOut(run_.installed(install::InstallStaged(folder_, step.staged)));
    case Action::ShowCountdown:
      // Every file is in place: the note this run starts must find the folder free.
      lock_.release();
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
  // Before any question, which may stay open for long.
  lock_.release();
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
  const bool wholeImage = checkImage_ && result->complete() && IsWholeProgramFile(downloading_);
  carryOut(run_.fileDownloaded({result->complete(), result->received, result->contentLength, result->sha256, wholeImage}));
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
