#include "note/core/HandoffSchedule.h"

namespace stickwell::note {

bool HandoffSchedule::start(const HandoffSight& sight, std::uint64_t nowMs) {
  if (waiting_) return false;
  if (sight.updaterWindowOpen || !sight.newCopyExists || !sight.oldCopyExists) return false;
  waiting_ = true;
  dueMs_ = nowMs + kDelayMs;
  return true;
}

}  // namespace stickwell::note
