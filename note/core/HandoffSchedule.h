#pragma once
// When the note puts a new updater in place. The updater cannot replace its own running executable,
// so it leaves the new one beside it as "NewRenewick.exe"; once the updater's window is gone, the note
// moves it over "Renewick.exe". The move comes at least a second after the window was found closed,
// so the updater's process has time to end, and the note keeps working during that second: the wait
// is a due time checked on the watcher's ticks, not a pause. One hand-off at a time: a tick that comes
// while one waits (also a tick inside a menu or a message box) starts no second one.
#include <cstdint>

namespace stickwell::note {

// What a hand-off finds, all three looked at once when it is asked for.
struct HandoffSight {
  bool updaterWindowOpen = false;
  bool newCopyExists = false;  // "NewRenewick.exe"
  bool oldCopyExists = false;  // "Renewick.exe"; without it the new copy keeps its name
};

class HandoffSchedule {
 public:
  static constexpr std::uint64_t kDelayMs = 1000;

  // When no updater window is open and both files exist, the move falls due a second from
  // `nowMs`; the conditions are not looked at again before it. Nothing happens while a hand-off
  // already waits. True when this call started one.
  bool start(const HandoffSight& sight, std::uint64_t nowMs);

  bool waiting() const { return waiting_; }
  // The wait is over: the caller makes the move now, then calls finished().
  bool due(std::uint64_t nowMs) const { return waiting_ && nowMs >= dueMs_; }
  // The move was made or failed. A failed one leaves both files; a later tick finds them again and
  // starts a new hand-off, so attempts come at most once a second.
  void finished() { waiting_ = false; }

 private:
  bool waiting_ = false;
  std::uint64_t dueMs_ = 0;
};

}  // namespace stickwell::note
