#include <gtest/gtest.h>

#include "note/core/HandoffSchedule.h"

namespace stickwell::note {
namespace {

constexpr HandoffSight kReady{false, true, true};

TEST(HandoffSchedule, StartsOnlyWithTheUpdaterClosedAndBothFilesPresent) {
  const struct { const char* what; HandoffSight sight; bool starts; } cases[] = {
      {"window closed, both files", kReady, true}, {"updater window open", {true, true, true}, false},
      {"no new copy", {false, false, true}, false}, {"new copy alone keeps its name", {false, true, false}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(HandoffSchedule().start(c.sight, 5000), c.starts) << c.what;
}

TEST(HandoffSchedule, OneMoveASecondAfterTheWindowWasFoundClosedAndRetriesNoSooner) {
  HandoffSchedule schedule;
  ASSERT_TRUE(schedule.start(kReady, 5000));
  // Ticks during the wait (in a menu, a message box) ask again: the first due time and sight stand.
  EXPECT_FALSE(schedule.start(kReady, 5500));
  EXPECT_FALSE(schedule.start({true, true, true}, 5800));
  EXPECT_FALSE(schedule.due(5999));
  ASSERT_TRUE(schedule.due(6000));
  schedule.finished();  // the old file was still in use: both files stay
  EXPECT_FALSE(schedule.due(6100));
  ASSERT_TRUE(schedule.start(kReady, 6100));
  EXPECT_FALSE(schedule.due(7099));
  EXPECT_TRUE(schedule.due(7100));
}

}  // namespace
}  // namespace stickwell::note
