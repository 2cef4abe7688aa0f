#pragma once
// Completes an update of the updater: once the updater's window is gone, the new copy it left as
// "NewRenewick.exe" takes the place of "Renewick.exe" (install::HandOffUpdater, which leaves it alone
// while an install is not complete).
#include <cstdint>

#include "note/core/HandoffSchedule.h"

namespace stickwell::note {

class Handoff {
 public:
  // The watcher's last step on every tick: makes a move that has fallen due, or, when no updater
  // window is open and a new copy waits, asks for a hand-off.
  void onTick(std::uint64_t nowMs);

  // Looks once for the updater's window, the new copy and the old one; when the window is closed and
  // both files are there, the new copy replaces the old one a second from now.
  void start(std::uint64_t nowMs);

 private:
  HandoffSchedule schedule_;
};

}  // namespace stickwell::note
