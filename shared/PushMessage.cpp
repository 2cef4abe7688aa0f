#include "shared/PushMessage.h"

#include "shared/PageMarkers.h"
#include "shared/UpdatePage.h"

namespace stickwell::page {

PushSettings ReadPushSettings(std::u16string_view page) {
  return {IsPushOn(ReadPushSwitch(page)), ReadPushMessage(page).value_or(u"")};
}

std::u16string PushDialogText(bool connected, std::u16string_view message) {
  if (!connected) return std::u16string(kPushNoConnectionText);
  if (message.find(kParagraph) == std::u16string_view::npos) return std::u16string(message);
  return ParagraphText(message).value_or(std::u16string(message));
}

}  // namespace stickwell::page
