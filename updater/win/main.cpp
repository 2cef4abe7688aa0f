#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "shared/win/Diagnostics.h"
#include "shared/win/InstallRecovery.h"
#include "shared/win/WinHandles.h"
#include "updater/win/DownloadWindow.h"
#include "updater/win/Forms.h"
#include "updater/win/OfferWindow.h"

namespace {
// One updater at a time in a session; the install lock keeps updaters of other sessions apart.
constexpr wchar_t kUpdaterRunningMutex[] = L"Local\\Stickwell.Renewick.Running";
// A note finishes an interrupted install within a few seconds.
constexpr DWORD kInstallLockWaitMs = 15000;
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  using namespace stickwell;
  // One updater at a time: two would download into the same folder.
  win::UniqueHandle instance(::CreateMutexW(nullptr, FALSE, kUpdaterRunningMutex));
  const DWORD mutexError = ::GetLastError();
  if (!instance) win::TraceError(mutexError, {L"CreateMutexW ", kUpdaterRunningMutex});
  if (mutexError == ERROR_ALREADY_EXISTS) {
    ::MessageBoxW(nullptr, L"更新程序已经在运行", L"提示：", MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  // The update's files are the updater's alone from here to its countdown, in every session and on
  // every machine that shares the folder; a note that is finishing an interrupted install at this
  // moment goes first. Then an interrupted install is finished here too.
  win::InstallLock installLock(kInstallLockWaitMs);
  win::FinishInterruptedInstall(&installLock);

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  if (!::InitCommonControlsEx(&controls)) win::TraceLastError({L"InitCommonControlsEx"});

  // "确定" closes the offer window, then the download window opens: the updater keeps a place for it
  // meanwhile, so that it does not end in between.
  constexpr UINT kOpenDownloadWindow = WM_APP + 100;
  const DWORD thread = ::GetCurrentThreadId();
  updater::OfferWindow offer([thread] {
    updater::FormOpened();
    ::PostThreadMessageW(thread, kOpenDownloadWindow, 0, 0);
  });
  if (!offer.open(showCommand)) return 1;

  std::unique_ptr<updater::DownloadWindow> download;
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == kOpenDownloadWindow) {
      download = std::make_unique<updater::DownloadWindow>(installLock);
      download->open();
      updater::FormClosed();
      continue;
    }
    if (::IsDialogMessageW(::GetActiveWindow(), &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
