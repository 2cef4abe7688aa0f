#include "note/core/PushCounter.h"

namespace stickwell::note {

bool PushCounter::tick(bool pushOn) {
  if (!pushOn || count_ >= kPushDialogTick) return false;
  return ++count_ == kPushDialogTick;
}

}  // namespace stickwell::note
