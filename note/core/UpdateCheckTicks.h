#pragma once
// The update check's run: what the page told it, and what each 10 ms tick of its progress bar shows,
// asks or closes. The bar counts from 0 to 100; the outcome shows from 90 on.
#include <optional>
#include <string>
#include <string_view>

namespace stickwell::note {

inline constexpr std::u16string_view kCheckingText = u"正在检查更新...";
inline constexpr std::u16string_view kReadingVersionText = u"正在检测版本信息...";
inline constexpr std::u16string_view kUpToDateText = u"暂无更新";
inline constexpr std::u16string_view kNoConnectionText = u"网络连接失败！";
inline constexpr std::u16string_view kNewVersionTitle = u"更新提示：";
inline constexpr std::u16string_view kUpdaterMissingQuestion = u"更新文件已损坏,是否去官网重新下载最新完整版程序？";
inline constexpr std::u16string_view kUpdaterMissingTitle = u"提示:";

// The bar's value from which the status line reads the version, and from which the outcome shows.
inline constexpr int kReadingVersionValue = 10;
inline constexpr int kOutcomeValue = 90;
inline constexpr int kLastValue = 100;

// What the check learned from the page before its bar starts.
struct CheckFinding {
  enum class Kind { NotConnected, UpToDate, NewVersion };
  Kind kind = Kind::NotConnected;
  std::u16string pageVersion;  // the version the page names (empty when not connected)
  friend bool operator==(const CheckFinding&, const CheckFinding&) = default;
};

// `page` is the page's text, or nullopt when the fetch failed (an error, a time-out). nullopt out
// means the window closes at once without a word: the page could not be read or names no version.
// Any difference from `ownVersion` counts as a new version, an older one on the page included.
std::optional<CheckFinding> FindUpdate(bool connected, const std::optional<std::u16string>& page,
                                       std::u16string_view ownVersion);

// "发现新版本 Ver：" + version + " 是否需要更新？"
std::u16string NewVersionQuestion(std::u16string_view pageVersion);

// What one tick does to the window.
struct CheckStep {
  int value = 0;                         // the bar's value after the tick
  std::optional<std::u16string> status;  // the status line's new text, only when it changes
  bool ask = false;                      // ask the new-version question now
  bool close = false;                    // close the window now
};

class UpdateCheckTicks {
 public:
  explicit UpdateCheckTicks(CheckFinding finding) : finding_(std::move(finding)) {}

  // The bar never passes 100. The question is asked once: the ticks that keep arriving while it is
  // open change nothing, nor do ticks after the window was told to close.
  CheckStep tick();

  int value() const { return value_; }
  const CheckFinding& finding() const { return finding_; }

 private:
  CheckFinding finding_;
  int value_ = 0;
  std::u16string status_{kCheckingText};
  bool finished_ = false;  // the question was asked or the window closed
};

}  // namespace stickwell::note
