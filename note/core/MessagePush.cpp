#include "note/core/MessagePush.h"

#include "shared/PushMessage.h"

namespace stickwell::note {

bool MessagePush::pageArrived(PageAnswer answer, std::u16string_view page) {
  if (answer == PageAnswer::NotConnected) return false;
  // A failed read counts as an empty page: no switch, no message.
  const page::PushSettings settings = page::ReadPushSettings(answer == PageAnswer::Arrived ? page : std::u16string_view());
  on_ = settings.on;
  message_ = settings.message;
  return on_;
}

bool MessagePush::tick() {
  if (!on_ || ticks_ >= kPushDialogTick) return false;
  return ++ticks_ == kPushDialogTick;
}

std::u16string MessagePush::dialogText(bool connected) const { return page::PushDialogText(connected, message_); }

}  // namespace stickwell::note
