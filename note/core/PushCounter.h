#pragma once
// The push timer's count: the message dialog opens at its third tick, once per run.

namespace stickwell::note {

inline constexpr int kPushDialogTick = 3;

class PushCounter {
 public:
  // One tick of the push timer. True exactly when the dialog opens now: the third tick of a run with
  // the push on. Ticks while the push is off do nothing. Counting stops once the dialog has been
  // shown: the timer may run for weeks, and no later tick has anything to show.
  bool tick(bool pushOn);

  int count() const { return count_; }

 private:
  int count_ = 0;
};

}  // namespace stickwell::note
