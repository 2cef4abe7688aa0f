#include "note/win/TestProbe.h"

#include "note/win/NoteWindow.h"
#include "note/win/PushTrigger.h"

namespace stickwell::note::probe {
namespace {

LRESULT timer2Ticks = 0;

}  // namespace

bool HandleMessage(NoteWindow& note, UINT message, WPARAM wParam, LRESULT& answer) {
  static const UINT ticksMessage = ::RegisterWindowMessageW(kTimer2TicksMessage);
  static const UINT commandMessage = ::RegisterWindowMessageW(kMenuCommandMessage);
  if (message == WM_TIMER && wParam == kTimer2Id) {
    ++timer2Ticks;
    return false;  // the tick goes on to the push trigger
  }
  if (message == ticksMessage) {
    answer = timer2Ticks;
    return true;
  }
  if (message == commandMessage) {
    if (wParam == kCheckForUpdates) note.checkForUpdates();
    if (wParam == kOpenOfficialSite) note.openOfficialSite();
    answer = 0;
    return true;
  }
  return false;
}

}  // namespace stickwell::note::probe
