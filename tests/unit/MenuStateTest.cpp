#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "note/core/MenuState.h"

namespace stickwell::note {
namespace {

struct CheckCase {
  const char* name;
  std::vector<MenuItem> picks;
  MenuItem textColour;  // the one checked item of each group afterwards
  MenuItem scheme;
};

TEST(MenuState, EachGroupHasExactlyTheLastPickedItemChecked) {
  const CheckCase cases[] = {
      {"fresh note", {}, MenuItem::BlackText, MenuItem::YellowScheme},
      {"red text", {MenuItem::RedText}, MenuItem::RedText, MenuItem::YellowScheme},
      {"red text, then black", {MenuItem::RedText, MenuItem::BlackText}, MenuItem::BlackText, MenuItem::YellowScheme},
      {"red scheme", {MenuItem::RedScheme}, MenuItem::BlackText, MenuItem::RedScheme},
      {"blue picked twice", {MenuItem::BlueScheme, MenuItem::BlueScheme}, MenuItem::BlackText, MenuItem::BlueScheme},
      {"groups apart", {MenuItem::RedText, MenuItem::BlueScheme, MenuItem::YellowScheme}, MenuItem::RedText,
       MenuItem::YellowScheme},
      {"other items leave the checks",
       {MenuItem::RedScheme, MenuItem::RedText, MenuItem::Open, MenuItem::Lock, MenuItem::Clear, MenuItem::Bigger,
        MenuItem::Smaller, MenuItem::FontSize, MenuItem::FontColour, MenuItem::Background, MenuItem::Separator,
        MenuItem::CheckForUpdates, MenuItem::OfficialSite},
       MenuItem::RedText, MenuItem::RedScheme},
  };
  for (const CheckCase& c : cases) {
    MenuMarks marks = InitialMarks();
    for (MenuItem item : c.picks) Pick(item, marks);
    for (std::size_t i = 0; i < kMenuItemCount; ++i) {
      const auto item = static_cast<MenuItem>(i);
      EXPECT_EQ(marks.isChecked(item), item == c.textColour || item == c.scheme) << c.name << ", item " << i;
    }
  }
}

TEST(MenuState, TheLockIsTheLockItemsCaptionAndTurnsOverOnEachPick) {
  MenuMarks marks = InitialMarks();
  EXPECT_EQ(marks.lockCaption, u"锁定");
  EXPECT_FALSE(IsLocked(marks.lockCaption));

  EXPECT_EQ(Pick(MenuItem::Lock, marks).action, MenuCommand::Action::None);
  EXPECT_EQ(marks.lockCaption, u"解锁");
  EXPECT_TRUE(IsLocked(marks.lockCaption));

  Pick(MenuItem::Lock, marks);
  EXPECT_EQ(marks, InitialMarks()) << "picked twice: unlocked again, checks untouched";

  // Only "锁定" unlocks; any other caption counts as locked and turns back to "锁定".
  EXPECT_TRUE(IsLocked(u"锁定 "));
  EXPECT_TRUE(IsLocked(u""));
  marks.lockCaption = u"锁";
  Pick(MenuItem::Lock, marks);
  EXPECT_EQ(marks.lockCaption, u"锁定");
}

}  // namespace
}  // namespace stickwell::note
