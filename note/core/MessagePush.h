#pragma once
// The message the makers push through the update page, on the note's side: start-up reads the page
// once; with its switch on, the push timer ticks and its third tick opens the message dialog, once
// per run; "知道了，不再提醒" stops the timer for the rest of the run. Nothing is kept between runs.
#include <string>
#include <string_view>

#include "note/core/PageAnswer.h"

namespace stickwell::note {

inline constexpr int kPushDialogTick = 3;

class MessagePush {
 public:
  // The page read at start-up (`page` is looked at only when it arrived). True when the push timer
  // starts: the page's switch reads "开". Offline, or with a page that cannot be read, the push stays
  // off; the message is kept whatever the switch says.
  bool pageArrived(PageAnswer answer, std::u16string_view page);

  // One tick of the push timer: true exactly when the dialog opens now. Counting stops once the dialog
  // has been shown: the timer may run for weeks, and no later tick has anything to show.
  bool tick();

  // What the dialog's box shows, read when it opens (`connected`: the machine is online then).
  std::u16string dialogText(bool connected) const;

  // "知道了，不再提醒": the caller stops the push timer; no tick counts any more.
  void stopReminding() { on_ = false; }

  bool on() const { return on_; }
  const std::u16string& message() const { return message_; }

 private:
  bool on_ = false;
  std::u16string message_;  // cleaned, its "<p>" separators kept; empty when it could not be read
  int ticks_ = 0;
};

}  // namespace stickwell::note
