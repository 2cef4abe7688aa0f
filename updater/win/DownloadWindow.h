#pragma once
// The download window: carries out the steps of the update run (updater/core/UpdateRun.h) and shows
// where it stands: the status line over the bar.
#include "shared/win/AsyncCall.h"
#include "shared/win/HttpDownload.h"
#include "shared/win/HttpFetch.h"
#include "shared/win/InstallFolder.h"
#include "shared/win/InstallRecovery.h"
#include "shared/win/StatusWindow.h"
#include "updater/core/UpdateRun.h"

namespace stickwell::updater {

class DownloadWindow : public win::StatusWindow {
 public:
  // `lock`: the updater's install lock; while it is held, the program folder's update files are the
  // updater's own. The window lets go of it when the countdown starts or the run ends.
  explicit DownloadWindow(win::InstallLock& lock);
  bool open();

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onDestroyed() override;

 private:
  void carryOut(const Step& step);
  void end(const Step& step);
  void onPageArrived(bool sharePage);
  void onDownloadEvent(win::DownloadEvent event);

  win::InstallLock& lock_;
  UpdateRun run_;
  win::InstallFolder folder_;
  win::AsyncCall<win::FetchResult> page_;
  win::HttpDownload download_;
  std::wstring downloading_;  // the staging file now downloading
  bool checkImage_ = false;   // whether it must be a whole program image
  bool ending_ = false;
};

}  // namespace stickwell::updater
