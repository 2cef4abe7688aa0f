#pragma once
#include "shared/win/Window.h"

namespace stickwell::updater {

// The updater's first window: offers the version found on the update page.
class OfferWindow : public win::Window {
 public:
  bool open(int showCommand);

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace stickwell::updater
