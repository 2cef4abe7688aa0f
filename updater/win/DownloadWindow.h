#pragma once
// The download window: makes sure no note is open, reads the download list and every file's share
// page, downloads the files one after the other into the program folder, counts down and starts the
// note program again.
#include <optional>
#include <string>
#include <vector>

#include "shared/UpdatePage.h"
#include "shared/win/AsyncCall.h"
#include "shared/win/HttpDownload.h"
#include "shared/win/HttpFetch.h"
#include "shared/win/StatusWindow.h"
#include "updater/core/DownloadPlan.h"

namespace stickwell::updater {

class DownloadWindow : public win::StatusWindow {
 public:
  bool open();

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onDestroyed() override;

 private:
  void onUpdatePage();
  void requestNextSharePage();
  void onSharePage();
  void startDownload(size_t index);
  void onDownloadEvent(win::DownloadEvent event);
  void onDownloadFinished();
  void onCountdownTick();
  void fail();
  std::wstring partialPath(size_t index) const;

  std::vector<page::DownloadEntry> entries_;
  std::vector<std::u16string> directAddresses_;
  std::vector<PlannedDownload> plan_;
  size_t current_ = 0;
  win::AsyncCall<win::FetchResult> page_;
  win::HttpDownload download_;
  int countdownTicks_ = 0;
  bool ending_ = false;
};

}  // namespace stickwell::updater
