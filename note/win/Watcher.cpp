#include "note/win/Watcher.h"

#include "note/core/Docking.h"
#include "note/win/ControlIds.h"
#include "note/win/NoteWindow.h"
#include "shared/Twips.h"
#include "shared/win/Diagnostics.h"

namespace stickwell::note {
namespace {

// The bounding rectangle of all monitors: a note docks at the outer edges of the whole desktop.
DesktopEdges DesktopInTwips(unsigned dpi) {
  const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  return {PixelsToTwips(left, dpi), PixelsToTwips(top, dpi), PixelsToTwips(left + width, dpi)};
}

class Reentry {
 public:
  explicit Reentry(bool& flag) : flag_(flag) { flag_ = true; }
  ~Reentry() { flag_ = false; }
  Reentry(const Reentry&) = delete;
  Reentry& operator=(const Reentry&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void Watcher::start() {
  if (!::SetTimer(note_.hwnd(), kTimerId, kIntervalMs, nullptr)) win::TraceLastError({L"SetTimer watcher"});
}

void Watcher::tick() {
  // Nothing in a tick waits for messages, but should anything in it ever do so, a tick must not run
  // inside another.
  if (ticking_) return;
  const Reentry reentry(ticking_);

  RECT window;
  POINT pointer;
  if (::GetWindowRect(note_.hwnd(), &window) && ::GetCursorPos(&pointer)) {
    const PointerPlace place =
        PlaceOfPointer({window.left, window.top, window.right, window.bottom}, {pointer.x, pointer.y});
    if (place == PointerPlace::Outside) {
      // "+" and "x" in the window's own colour: invisible until the pointer comes back.
      note_.label(kPlusButtonId)->setForeColour(note_.backColour());
      note_.label(kCloseButtonId)->setForeColour(note_.backColour());
      note_.saveNote();
    }
    // While the user drags the note the system's move loop places it. Moving it from a tick as well
    // would pull it from under the pointer, and the loop's next placement would then find it hidden;
    // it docks on the first tick after the drag.
    if (!inMoveLoop_) dock(window, place);
  }
  handoff_.onTick(::GetTickCount64());
}

void Watcher::dock(const RECT& r, PointerPlace pointer) {
  const unsigned dpi = note_.dpi();
  const WindowTwips window{PixelsToTwips(r.left, dpi), PixelsToTwips(r.top, dpi), PixelsToTwips(r.right - r.left, dpi),
                           PixelsToTwips(r.bottom - r.top, dpi)};
  const std::optional<TwipPoint> place = DockAtEdge(window, pointer, DesktopInTwips(dpi), note_.isLocked());
  if (!place) return;
  // A docked note is asked to stay where it is on every tick; moving it there again would only
  // repaint it.
  if (TwipsToPixels(place->left, dpi) == r.left && TwipsToPixels(place->top, dpi) == r.top) return;
  note_.moveTo(place->left, place->top);
}

}  // namespace stickwell::note
