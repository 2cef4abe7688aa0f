#include "note/win/TestProbe.h"

#include "note/win/PushTrigger.h"
#include "shared/win/Contrast.h"

namespace stickwell::note::probe {
namespace {

LRESULT pushTimerTicks = 0;

}  // namespace

bool HandleMessage(UINT message, WPARAM wParam, LRESULT& answer) {
  static const UINT ticksMessage = ::RegisterWindowMessageW(kPushTimerTicksMessage);
  static const UINT contrastMessage = ::RegisterWindowMessageW(kHighContrastMessage);
  if (message == WM_TIMER && wParam == kPushTimerId) {
    ++pushTimerTicks;
    return false;  // the tick goes on to the push trigger
  }
  if (message == ticksMessage) {
    answer = pushTimerTicks;
    return true;
  }
  if (message == contrastMessage) {
    win::ForceHighContrast(wParam != 0);
    answer = 1;
    return true;
  }
  return false;
}

}  // namespace stickwell::note::probe
