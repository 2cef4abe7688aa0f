#include "note/core/MessagePush.h"

#include "note/core/PushMessage.h"

namespace stickwell::note {

bool MessagePush::pageArrived(PageAnswer answer, std::u16string_view page) {
  if (answer == PageAnswer::NotConnected) return false;
  // A failed read counts as an empty page: no switch, no message.
  const PushSettings settings = ReadPushSettings(answer == PageAnswer::Arrived ? page : std::u16string_view());
  on_ = settings.on;
  message_ = settings.message;
  return on_;
}

bool MessagePush::tick() {
  if (!on_ || ticks_ >= kPushDialogTick) return false;
  return ++ticks_ == kPushDialogTick;
}

std::u16string MessagePush::dialogText(bool connected) const { return PushDialogText(connected, message_); }

}  // namespace stickwell::note
