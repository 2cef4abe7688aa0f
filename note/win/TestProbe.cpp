#include "note/win/TestProbe.h"

#include "note/win/PushTrigger.h"

namespace stickwell::note::probe {
namespace {

LRESULT timer2Ticks = 0;

}  // namespace

bool HandleMessage(UINT message, WPARAM wParam, LRESULT& answer) {
  static const UINT ticksMessage = ::RegisterWindowMessageW(kTimer2TicksMessage);
  if (message == WM_TIMER && wParam == kPushTimerId) {
    ++timer2Ticks;
    return false;  // the tick goes on to the push trigger
  }
  if (message == ticksMessage) {
    answer = timer2Ticks;
    return true;
  }
  return false;
}

}  // namespace stickwell::note::probe
