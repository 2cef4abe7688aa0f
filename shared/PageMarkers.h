#pragma once
// The fixed strings the makers put on the update page and on share pages, and the markup the readers
// strip. The page is edited by hand in a blog editor; these are what that editor writes.
#include <array>
#include <string_view>

namespace stickwell::page {

inline constexpr std::u16string_view kVersionMarker = u"Ver";           // the 8-character version follows
inline constexpr std::u16string_view kChangeLogMarker = u"更新日志";    // opens the change log
inline constexpr std::u16string_view kDownloadsHeading = u"更新文件及地址";  // ends the change log
inline constexpr std::u16string_view kDownloadsMarker = u"更新文件及地址：";  // opens the download list
inline constexpr std::u16string_view kPushMarker = u"消息推送：";       // the switch and the message follow
inline constexpr std::u16string_view kPushOn = u"开";
inline constexpr std::u16string_view kPushEndMarker = u"最新完整版";    // ends the message
inline constexpr std::u16string_view kParagraph = u"<p>";
inline constexpr std::u16string_view kShareSaveMarker = u"保存至网盘";  // on a share page, before the link
inline constexpr std::u16string_view kShareHref = u"href";
inline constexpr std::u16string_view kShareIdMarker = u"id=\"";
inline constexpr std::u16string_view kQuote = u"\"";
inline constexpr std::u16string_view kAmpEntityTail = u"amp;";          // "&amp;" less its "&"
inline constexpr std::u16string_view kLineBreak = u"\r\n";

// Markup every section loses, in this order.
inline constexpr std::array<std::u16string_view, 7> kTextMarkup = {
    u"</span>",
    u"</strong>",
    u"<strong>",
    u"</p>",
    u"<span style=\"color: #ff0000;\">",
    u"<span style=\"color: #000000;\">",
    u"&nbsp;",
};

// What the download list loses on top, in this order, so that a link comes down to its quoted address.
inline constexpr std::array<std::u16string_view, 5> kLinkMarkup = {
    u"<a href=",
    kAmpEntityTail,
    u"target=\"_blank\">",
    u"</a>)",
    u"(",
};

}  // namespace stickwell::page
