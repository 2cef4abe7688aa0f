#include <gtest/gtest.h>

#include "note/core/HandoffSchedule.h"

namespace stickwell::note {
namespace {

constexpr HandoffSight kReady{false, true, true};

TEST(HandoffSchedule, StartsOnlyWithTheUpdaterClosedAndBothFilesPresent) {
  const struct {
    const char* what;
    HandoffSight sight;
    bool starts;
  } cases[] = {
      {"window closed, both files", kReady, true},
      {"updater window open", {true, true, true}, false},
      {"no new copy", {false, false, true}, false},
      {"new copy alone keeps its name", {false, true, false}, false},
  };
  for (const auto& c : cases) {
    HandoffSchedule schedule;
    EXPECT_EQ(schedule.start(c.sight, 5000), c.starts) << c.what;
    EXPECT_EQ(schedule.waiting(), c.starts) << c.what;
    EXPECT_EQ(schedule.due(1'000'000), c.starts) << c.what;
  }
}

TEST(HandoffSchedule, MoveFallsDueASecondAfterTheWindowWasFoundClosed) {
  HandoffSchedule schedule;
  ASSERT_TRUE(schedule.start(kReady, 5000));
  EXPECT_FALSE(schedule.due(5000));
  EXPECT_FALSE(schedule.due(5999));
  EXPECT_TRUE(schedule.due(6000));
  EXPECT_TRUE(schedule.due(6100));
}

TEST(HandoffSchedule, NoSecondHandoffWhileOneWaits) {
  HandoffSchedule schedule;
  ASSERT_TRUE(schedule.start(kReady, 5000));
  // Ticks during the wait (in a menu, a message box) ask again; the first due time stands.
  EXPECT_FALSE(schedule.start(kReady, 5500));
  EXPECT_FALSE(schedule.due(5999));
  EXPECT_TRUE(schedule.due(6000)) << "a tick during the wait must not put the move off";
  // What killUD saw stands too: an updater window that opens during the wait does not call it off.
  EXPECT_FALSE(schedule.start({true, true, true}, 5800));
  EXPECT_TRUE(schedule.waiting());
}

TEST(HandoffSchedule, FailedMoveIsTriedAgainNoSoonerThanASecondLater) {
  HandoffSchedule schedule;
  ASSERT_TRUE(schedule.start(kReady, 5000));
  ASSERT_TRUE(schedule.due(6000));
  schedule.finished();  // the old file was still in use: both files stay
  EXPECT_FALSE(schedule.waiting());
  EXPECT_FALSE(schedule.due(6100));
  ASSERT_TRUE(schedule.start(kReady, 6100));
  EXPECT_FALSE(schedule.due(7099));
  EXPECT_TRUE(schedule.due(7100));
}

}  // namespace
}  // namespace stickwell::note
