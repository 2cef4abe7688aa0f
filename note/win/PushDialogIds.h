#pragma once
// Control ids of the message-push dialog, for GetDlgItem (plain numbers, so tests can share them).

namespace stickwell::note {

inline constexpr int kPushTextId = 1001;      // the message box
inline constexpr int kPushOkId = 1;           // "确定" (IDOK): closes the dialog
inline constexpr int kStopRemindingId = 1002;  // "知道了，不再提醒": stops the push timer and closes

}  // namespace stickwell::note
