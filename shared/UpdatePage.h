#pragma once
// Reading the update page the makers publish by hand, and the share pages its download list points to.
// No HTML parsing: each field is found by fixed markers and cut out by character counts (see
// PagePositions.h), and the readers answer std::nullopt where the page does not allow the cut. Any text
// goes in; none of them throws or reads outside the page.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/PlainFileName.h"

namespace stickwell::page {

// "13.04.20" for 13.4.20: each number with at least two digits.
std::u16string VersionText(int major, int minor, int revision);
// The version text of these programs.
std::u16string OwnVersionText();

// The eight characters after "Ver" (fewer when the page ends sooner, and then "Ver" itself counts in).
std::optional<std::u16string> ReadPageVersion(std::u16string_view page);
// Any difference counts as newer: the page names the version to have, so an older one is offered too.
bool IsNewerVersion(std::u16string_view pageVersion, std::u16string_view ownVersion);

// Strips the span, strong, </p> and &nbsp; markup of a section; "<p>" stays as the paragraph separator.
void CleanMarkup(std::u16string& text);
// CleanMarkup plus the link markup, which leaves a download link as its address in double quotes.
void CleanLinkMarkup(std::u16string& text);

// The paragraphs after the heading, one per line (CR LF), without the break of the closing separator.
// Fails when nothing follows the heading.
std::optional<std::u16string> ParagraphText(std::u16string_view text);

// "更新日志", CR LF and the change-log lines.
std::optional<std::u16string> ReadChangeLog(std::u16string_view page);

struct DownloadEntry {
  std::u16string entryText;     // the paragraph up to the closing quote of the link address
  std::u16string shareAddress;  // the address between the quotes: the file's share page
  friend bool operator==(const DownloadEntry&, const DownloadEntry&) = default;
};

// The files to download, in page order. Fails as a whole when a paragraph holds no quoted address.
std::optional<std::vector<DownloadEntry>> ReadDownloadList(std::u16string_view page);

// The file name in an entry text: from the third character to the first double quote. Fails when the
// quote stands before the third character, and when the name is not a plain file name: the updater
// writes a file under this name, and the page may have been altered on its way.
std::optional<std::u16string> ReadEntryFileName(std::u16string_view entryText);

// The direct download address on a file's share page: the href value after "保存至网盘", with "&amp;"
// turned into "&" and the surrounding blanks trimmed.
std::optional<std::u16string> ReadDirectAddress(std::u16string_view sharePage);

// The one character after "消息推送：" (the marker's own colon when the page ends there).
std::optional<std::u16string> ReadPushSwitch(std::u16string_view page);
// The push is on only when the switch reads "开".
bool IsPushOn(const std::optional<std::u16string>& pushSwitch);

// The pushed message between the switch and "最新完整版", cleaned, its "<p>" separators kept.
std::optional<std::u16string> ReadPushMessage(std::u16string_view page);

}  // namespace stickwell::page
