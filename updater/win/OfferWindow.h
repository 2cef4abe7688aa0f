#pragma once
// The updater's first window: fetches the update page, shows the version found there and its change
// log, and lets the user start the update ("确定") or leave ("取消").
#include <functional>

#include "shared/win/AsyncCall.h"
#include "shared/win/HttpFetch.h"
#include "shared/win/WinHandles.h"
#include "shared/win/Window.h"
#include "shared/win/Label.h"
#include "updater/core/OfferView.h"

namespace stickwell::updater {

class OfferWindow : public win::Window {
 public:
  // `startUpdate` runs as this window closes, when the user accepted the offer; it must not open a
  // window there and then, only arrange for one (the updater ends when its last window has gone).
  explicit OfferWindow(std::function<void()> startUpdate) : startUpdate_(std::move(startUpdate)) {}
  bool open(int showCommand);

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onDestroyed() override;

 private:
  void createControls();
  void show(const OfferView& view);
  void focusButton(HWND button);
  void onPageArrived();

  std::function<void()> startUpdate_;
  bool accepted_ = false;
  win::AsyncCall<win::FetchResult> page_;
  win::UniqueFont textFont_, productFont_;
  win::Label logo_, product_, prompt_, version_, siteLink_;
  HWND changeLog_ = nullptr, update_ = nullptr, cancel_ = nullptr;
  HWND focus_ = nullptr;  // the button with the keyboard, or to have it when the window is next active
};

}  // namespace stickwell::updater
