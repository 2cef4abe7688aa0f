#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "note/core/UpdateCheckTicks.h"

namespace stickwell::note {
namespace {

using Kind = CheckFinding::Kind;

const std::u16string kOwn = u"13.04.20";

// Every status change of a run with the value it came at, and where the run asked or closed.
struct TickLog {
  std::vector<std::pair<int, std::u16string>> statuses;
  int askedAt = 0;
  int closedAt = 0;
};

TickLog RunTicks(UpdateCheckTicks& ticks, int count) {
  TickLog run;
  for (int i = 0; i < count; ++i) {
    const CheckStep step = ticks.tick();
    if (step.status) run.statuses.emplace_back(step.value, *step.status);
    if (step.ask) {
      EXPECT_EQ(run.askedAt, 0) << "asked twice";
      run.askedAt = step.value;
    }
    if (step.close) {
      EXPECT_EQ(run.closedAt, 0) << "closed twice";
      run.closedAt = step.value;
    }
  }
  return run;
}

TEST(UpdateCheckTicks, ReportsShowFromNinetyAndCloseAtAHundred) {
  struct Case {
    Kind kind;
    std::u16string outcome;
  } cases[] = {{Kind::UpToDate, u"暂无更新"}, {Kind::NotConnected, u"网络连接失败！"}};
  for (const auto& c : cases) {
    UpdateCheckTicks ticks({c.kind, c.kind == Kind::UpToDate ? kOwn : u""});
    const TickLog run = RunTicks(ticks, 150);
    const std::vector<std::pair<int, std::u16string>> expected = {{10, u"正在检测版本信息..."}, {90, c.outcome}};
    EXPECT_EQ(run.statuses, expected);
    EXPECT_EQ(run.closedAt, 100);
    EXPECT_EQ(run.askedAt, 0);
    EXPECT_EQ(ticks.value(), 100) << "the bar never passes its maximum";
  }
}

TEST(UpdateCheckTicks, NewVersionIsAskedOnceAtNinetyAndNothingMovesWhileTheQuestionIsOpen) {
  UpdateCheckTicks ticks({Kind::NewVersion, u"13.04.21"});
  const TickLog run = RunTicks(ticks, 89);
  EXPECT_EQ(run.askedAt, 0);
  EXPECT_EQ(ticks.value(), 89);

  const CheckStep asking = ticks.tick();
  EXPECT_TRUE(asking.ask);
  EXPECT_FALSE(asking.close) << "the answer decides what happens to the window";
  EXPECT_EQ(asking.value, 90);
  EXPECT_FALSE(asking.status) << "the status line keeps reading the version";

  // The timer keeps ticking while the question box is open.
  const TickLog later = RunTicks(ticks, 50);
  EXPECT_EQ(later.askedAt, 0);
  EXPECT_EQ(later.closedAt, 0);
  EXPECT_TRUE(later.statuses.empty());
  EXPECT_EQ(ticks.value(), 90);
}

TEST(FindUpdate, TheFindingOfEachAnswer) {
  struct Case {
    const char* what;
    bool connected;
    std::optional<std::u16string> page;
    std::optional<CheckFinding> expected;
  } cases[] = {
      {"newer", true, u"<p>Stickwell Ver13.04.21</p>", CheckFinding{Kind::NewVersion, u"13.04.21"}},
      {"same", true, u"<h2>Ver13.04.20</h2>", CheckFinding{Kind::UpToDate, u"13.04.20"}},
      {"not connected, no page", false, std::nullopt, CheckFinding{Kind::NotConnected, u""}},
      {"no Ver: silent close", true, u"<html>Maintenance</html>", std::nullopt},
      {"failed fetch: silent close", true, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FindUpdate(c.connected, c.page, kOwn), c.expected) << c.what;
}

}  // namespace
}  // namespace stickwell::note
