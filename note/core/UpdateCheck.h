#pragma once
// The update check's whole run, decided here and carried out by its window: the page's answer, the
// progress bar's 10 ms ticks (the outcome shows from 90 on, the reports close at 100), the question
// for a new version and its answer, and the hand-over to the updater, which ends the note program.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "note/core/PageAnswer.h"

namespace stickwell::note {

inline constexpr std::u16string_view kCheckingText = u"正在检查更新...";
inline constexpr std::u16string_view kReadingVersionText = u"正在检测版本信息...";
inline constexpr std::u16string_view kUpToDateText = u"暂无更新";
inline constexpr std::u16string_view kNoConnectionText = u"网络连接失败！";
inline constexpr std::u16string_view kNewVersionTitle = u"更新提示：";
inline constexpr std::u16string_view kUpdaterMissingQuestion = u"更新文件已损坏,是否去官网重新下载最新完整版程序？";
inline constexpr std::u16string_view kUpdaterMissingTitle = u"提示:";
inline constexpr int kLastBarValue = 100;

// What the page told the check before its bar starts.
struct CheckFinding {
  enum class Kind { NotConnected, UpToDate, NewVersion };
  Kind kind = Kind::NotConnected;
  std::u16string pageVersion;  // the version the page names (empty when not connected)
  friend bool operator==(const CheckFinding&, const CheckFinding&) = default;
};

// Whether a page that names another version may be offered: with a key built into the program, only
// a page whose signed list verifies for that version may.
using PageVerifier = std::function<bool(std::u16string_view page, std::u16string_view pageVersion)>;

// The finding for the page's answer (`page` is read only when it arrived), or nothing when the check
// ends at once without a word: the page failed, names no version, or names another version without
// passing `verify`. Any difference from `ownVersion` counts as new, an older version included.
std::optional<CheckFinding> FindUpdate(PageAnswer answer, std::u16string_view page, std::u16string_view ownVersion,
                                       const PageVerifier& verify);

// "发现新版本 Ver：" + version + " 是否需要更新？"
std::u16string NewVersionQuestion(std::u16string_view pageVersion);

// What the window does next.
struct CheckStep {
  enum class Action {
    None,
    StartBar,           // start the 10 ms timer
    AskToUpdate,        // the question `text`, OK and Cancel; then answered()
    LaunchUpdater,      // save the note, start "Renewick.exe"; then launched()
    AskUpdaterMissing,  // the question `text`, Yes and No; then updaterMissingAnswered()
    OpenSiteAndClose,
    Close,
    EndProgram,  // at once, without the windows' closing steps
  };
  Action action = Action::None;
  std::optional<int> bar;                // the bar's new value
  std::optional<std::u16string> status;  // the status line's new text, only when it changes
  std::u16string text;                   // the question for the two Ask actions
};

class UpdateCheck {
 public:
  // The window shows "正在检查更新..." over an empty bar while the page is read.
  CheckStep pageArrived(std::optional<CheckFinding> finding);
  // One tick of the bar. The question is asked once; the ticks that keep coming while it is open
  // change nothing, and the bar never passes 100.
  CheckStep tick();
  // The new-version question's answer, and whether "Renewick.exe" is in the program folder.
  CheckStep answered(bool ok, bool updaterExists);
  // The hand-over: whether the note file holds the latest text and whether the updater started. A
  // note that could not be written stays open rather than lose its text (the updater asks the user to
  // close it before it replaces anything); an updater that does not start counts as a damaged one.
  CheckStep launched(bool saved, bool started);
  // The updater-missing question's answer: Yes opens the official site; either answer closes.
  CheckStep updaterMissingAnswered(bool yes);

 private:
  CheckStep askUpdaterMissing();

  enum class Stage { Reading, Counting, Asking, HandingOver, AskingUpdaterMissing, Done };
  Stage stage_ = Stage::Reading;
  CheckFinding finding_;
  int value_ = 0;
  std::u16string status_{kCheckingText};
};

}  // namespace stickwell::note
