#pragma once
// The message the makers push through the update page: what the note's start-up reads of it, and the
// text its message dialog shows. The makers' tool shows the same text, so it lives here for both.
#include <string>
#include <string_view>

namespace stickwell::page {

inline constexpr std::u16string_view kPushNoConnectionText = u"网络连接失败，暂时无法获取消息推送内容";

struct PushSettings {
  bool on = false;       // the page's switch reads "开"
  std::u16string message;  // cleaned, its "<p>" separators kept; empty when it cannot be read
  friend bool operator==(const PushSettings&, const PushSettings&) = default;
};

// The switch and the message of a page. A page that names neither leaves the push off and empty.
PushSettings ReadPushSettings(std::u16string_view page);

// What the dialog's box shows: a fixed text when the machine is not connected; a message without
// "<p>" as it stands; otherwise its paragraphs, one per line. A message whose paragraphs come to
// nothing is shown as it stands, rather than as an empty box.
std::u16string PushDialogText(bool connected, std::u16string_view message);

}  // namespace stickwell::page
