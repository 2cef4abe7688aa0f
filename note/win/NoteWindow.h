#pragma once
#include "shared/win/Window.h"

namespace stickwell::note {

// The note window: a borderless top-level form captioned "Stickwell".
class NoteWindow : public win::Window {
 public:
  bool open(int showCommand);

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace stickwell::note
