#include <gtest/gtest.h>

#include "shared/Text.h"

#include <string>

#include "note/core/NoteRecord.h"
#include "note/core/UpdateCheck.h"

namespace stickwell::note {
namespace {

using Action = CheckStep::Action;

struct Answers {
  bool ok = true, updaterExists = true, saved = true, started = true, yes = true;
};

// Plays a check through: the status changes with the bar's value, the questions, the hand-over and the
// end. Ticks keep coming while a question is open and after the end; they must change nothing.
std::string PlayCheck(PageAnswer answer, std::u16string_view page, bool verifies, Answers a) {
  // The verifier is asked about this page and the version it names.
  const PageVerifier verify = [&](std::u16string_view asked, std::u16string_view version) {
    return verifies && asked == page && page.find(u"Ver" + std::u16string(version)) != page.npos;
  };
  std::optional<CheckFinding> finding = FindUpdate(answer, page, u"13.04.20", verify);
  UpdateCheck check;
  std::string log;
  int bar = 0;
  for (CheckStep step = check.pageArrived(std::move(finding)); log.size() < 1000;) {
    bar = step.bar.value_or(bar);
    if (step.status) log += " " + std::to_string(bar) + ":" + TextToUtf8(*step.status);
    if (!step.text.empty()) log += " ask " + TextToUtf8(step.text);
    for (int late = 0; step.action > Action::StartBar && late < 30; ++late) {
      const CheckStep ignored = check.tick();
      if (ignored.bar || ignored.status || ignored.action != Action::None) return log + " moved while waiting";
    }
    switch (step.action) {
      case Action::None: case Action::StartBar: step = check.tick(); break;
      case Action::AskToUpdate: step = check.answered(a.ok, a.updaterExists); break;
      case Action::LaunchUpdater: log += " launch"; step = check.launched(a.saved, a.started); break;
      case Action::AskUpdaterMissing: step = check.updaterMissingAnswered(a.yes); break;
      case Action::OpenSiteAndClose: return log + " site, close at " + std::to_string(bar);
      case Action::Close: return log + " close at " + std::to_string(bar);
      case Action::EndProgram: return log + " end program";
    }
  }
  return log + " never ended";
}

// Any other version than 13.04.20 counts as new. A page that fails, names no version, or names another
// one without verifying closes the check at once without a word.
TEST(UpdateCheck, TheRunFromThePagesAnswerToTheEnd) {
  const std::string reading = " 10:正在检测版本信息...", ask = " ask 发现新版本 Ver：13.04.21 是否需要更新？";
  const std::string missing = " ask 更新文件已损坏,是否去官网重新下载最新完整版程序？";
  constexpr auto Arrived = PageAnswer::Arrived;
  constexpr std::u16string_view newer = u"<p>Stickwell Ver13.04.21</p>";
  const struct { const char* what; PageAnswer answer; std::u16string_view page; bool verifies; Answers answers; std::string log; } cases[] = {
      {"failed fetch", PageAnswer::Failed, newer, true, {}, " close at 0"},
      {"no Ver", Arrived, u"<html>Maintenance</html>", true, {}, " close at 0"},
      {"newer, unverified", Arrived, newer, false, {}, " close at 0"},
      {"up to date", Arrived, u"<h2>Ver13.04.20</h2>", false, {}, reading + " 90:暂无更新 close at 100"},
      {"offline", PageAnswer::NotConnected, u"", false, {}, reading + " 90:网络连接失败！ close at 100"},
      {"new version, OK: the updater takes over", Arrived, newer, true, {}, reading + ask + " launch end program"},
      {"older version, Cancel", Arrived, u"Ver13.04.21", true, {.ok = false}, reading + ask + " close at 90"},
      {"updater missing, Yes", Arrived, newer, true, {.updaterExists = false}, reading + ask + missing + " site, close at 90"},
      {"updater missing, No", Arrived, newer, true, {.updaterExists = false, .yes = false}, reading + ask + missing + " close at 90"},
      {"updater does not start", Arrived, newer, true, {.started = false, .yes = false}, reading + ask + " launch" + missing + " close at 90"},
      {"note not saved: it stays open", Arrived, newer, true, {.saved = false}, reading + ask + " launch close at 90"},
  };
  for (const auto& c : cases) EXPECT_EQ(PlayCheck(c.answer, c.page, c.verifies, c.answers), c.log) << c.what;
}

}  // namespace
}  // namespace stickwell::note
