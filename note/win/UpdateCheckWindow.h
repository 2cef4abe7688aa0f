#pragma once
// The update check, Update: a borderless window in which only a green status line and a progress bar
// show (its blue background is its transparent colour). It reads the page's version on a worker
// thread, then plays its bar for about a second and at 90 offers the new version or reports that
// there is none or that the network is down; the reports close it at 100. Accepting the offer hands
// over to the updater and ends the note program.
#include <functional>
#include <optional>

#include "note/core/UpdateCheckTicks.h"
#include "shared/win/AsyncCall.h"
#include "shared/win/StatusWindow.h"
#include "shared/win/UpdatePageFetch.h"

namespace stickwell::note {

class UpdateCheckWindow : public win::StatusWindow {
 public:
  // `saveNote` writes the note before the updater is started and the note program ends; false when
  // the note file could not be written.
  explicit UpdateCheckWindow(std::function<bool()> saveNote) : saveNote_(std::move(saveNote)) {}

  // Shows the window above `owner` and starts the check. While a check is open this does nothing.
  void open(HWND owner);
  bool isOpen() const { return hwnd() != nullptr; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void onPageText();
  void onTick();
  void askToUpdate(std::u16string pageVersion);
  void handOver();
  void close();

  std::function<bool()> saveNote_;
  win::AsyncCall<win::PageText> pageText_;
  std::optional<UpdateCheckTicks> ticks_;  // from the page's answer on
};

}  // namespace stickwell::note
