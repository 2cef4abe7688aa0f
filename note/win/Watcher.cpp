#include "note/win/Watcher.h"

#include "note/core/WatchTick.h"
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

WindowTwips InTwips(const RECT& r, unsigned dpi) {
  return {PixelsToTwips(r.left, dpi), PixelsToTwips(r.top, dpi), PixelsToTwips(r.right - r.left, dpi),
          PixelsToTwips(r.bottom - r.top, dpi)};
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
  if (!::SetTimer(note_.hwnd(), kWatchTimerId, kIntervalMs, nullptr)) win::TraceLastError({L"SetTimer watcher"});
}

void Watcher::tick() {
  // Nothing in a tick waits for messages, but should anything in it ever do so, a tick must not run
  // inside another.
  if (ticking_) return;
  const Reentry reentry(ticking_);

  const ULONGLONG now = ::GetTickCount64();
  RECT window;
  POINT pointer;
  if (::GetWindowRect(note_.hwnd(), &window) && ::GetCursorPos(&pointer)) {
    const unsigned dpi = note_.dpi();
    if (!desktopKnown_) {
      desktop_ = DesktopInTwips(dpi);
      desktopKnown_ = true;
    }
    const TickPlan plan = PlanTick({{window.left, window.top, window.right, window.bottom},
                                    {pointer.x, pointer.y},
                                    note_.isLocked(),
                                    inMoveLoop_,
                                    InTwips(window, dpi),
                                    desktop_,
                                    unsaved_ ? std::optional(UnsavedText{now - unsaved_->last, now - unsaved_->first})
                                             : std::nullopt});
    if (plan.hideCornerButtons) {
      // "+" and "x" in the window's own colour: invisible until the pointer comes back.
      note_.label(kPlusButtonId)->setForeColour(note_.backColour());
      note_.label(kCloseButtonId)->setForeColour(note_.backColour());
    }
    if (plan.writeIfChanged && note_.saveNoteIfChanged()) unsaved_.reset();
    if (plan.dockTo) dock(window, *plan.dockTo);
  }
  handoff_.onTick(now);
}

void Watcher::onTextChanged() {
  const ULONGLONG now = ::GetTickCount64();
  unsaved_ = Changes{unsaved_ ? unsaved_->first : now, now};
}

void Watcher::dock(const RECT& r, const TwipPoint& place) {
  // A docked note is asked to stay where it is on every tick; moving it there again would only
  // repaint it.
  const unsigned dpi = note_.dpi();
  if (TwipsToPixels(place.left, dpi) == r.left && TwipsToPixels(place.top, dpi) == r.top) return;
  note_.moveTo(place.left, place.top);
}

}  // namespace stickwell::note
