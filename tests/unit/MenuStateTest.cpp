#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "note/core/MenuState.h"

namespace stickwell::note {
namespace {

using I = MenuItem;

TEST(MenuState, EachGroupHasExactlyTheLastPickedItemChecked) {
  const struct { const char* what; std::vector<MenuItem> picks; MenuItem textColour, scheme; } cases[] = {
      {"fresh note", {}, I::BlackText, I::YellowScheme},
      {"red text, then black", {I::RedText, I::BlackText}, I::BlackText, I::YellowScheme},
      {"blue picked twice", {I::BlueScheme, I::BlueScheme}, I::BlackText, I::BlueScheme},
      {"groups apart", {I::RedText, I::BlueScheme, I::RedScheme}, I::RedText, I::RedScheme},
      {"other items leave the checks", {I::RedScheme, I::RedText, I::Lock, I::Clear, I::Bigger, I::Separator},
       I::RedText, I::RedScheme},
  };
  for (const auto& c : cases) {
    MenuMarks marks = InitialMarks();
    for (MenuItem item : c.picks) Pick(item, marks);
    for (std::size_t i = 0; i < kMenuItemCount; ++i) {
      const auto item = static_cast<MenuItem>(i);
      EXPECT_EQ(marks.isChecked(item), item == c.textColour || item == c.scheme) << c.what << ", item " << i;
    }
  }
}

TEST(MenuState, TheLockIsTheLockItemsCaptionAndTurnsOverOnEachPick) {
  MenuMarks marks = InitialMarks();
  EXPECT_EQ(Pick(I::Lock, marks).action, MenuCommand::Action::None);
  EXPECT_EQ(marks.lockCaption, u"解锁");
  EXPECT_TRUE(IsLocked(marks.lockCaption));
  Pick(I::Lock, marks);
  EXPECT_EQ(marks, InitialMarks()) << "picked twice: unlocked again, checks untouched";
  // Only "锁定" unlocks; any other caption counts as locked and turns back to "锁定".
  EXPECT_TRUE(IsLocked(u"锁定 "));
  marks.lockCaption = u"锁";
  Pick(I::Lock, marks);
  EXPECT_EQ(marks.lockCaption, u"锁定");
}

}  // namespace
}  // namespace stickwell::note
