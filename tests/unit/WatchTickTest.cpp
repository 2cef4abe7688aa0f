#include <gtest/gtest.h>

#include "note/core/WatchTick.h"
#include "note/core/WrittenNote.h"

namespace stickwell::note {
namespace {

// A note of 256 x 266 pixels at (200, 200): the system reports right and bottom one past its last
// column and row, 456 and 466. At 96 dpi a pixel is 15 twips.
constexpr PixelRect kFree{200, 200, 456, 466};
constexpr PixelRect kAtRight{1024, 200, 1280, 466};
constexpr DesktopEdges kScreen{0, 0, 19200};

TickPlan Plan(PixelRect r, PixelPoint pointer, bool dragging = false, std::optional<UnsavedText> unsaved = {}) {
  const WindowTwips twips{r.left * 15.f, r.top * 15.f, (r.right - r.left) * 15.f, (r.bottom - r.top) * 15.f};
  return PlanTick({r, pointer, false, dragging, twips, kScreen, unsaved});
}

TEST(WatchTick, WhatATickDoesForWhereThePointerAndTheNoteAre) {
  const TickPlan away{true, true, std::nullopt}, nothing{false, false, std::nullopt};
  const struct { const char* what; TickPlan plan, expected; } cases[] = {
      {"pointer on the note", Plan(kFree, {300, 300}), nothing},
      {"pointer away", Plan(kFree, {900, 900}), away},
      {"on the window's left column", Plan(kFree, {200, 300}), nothing},
      {"one left of it", Plan(kFree, {199, 300}), away},
      {"on the line right of the window", Plan(kFree, {456, 300}), nothing},
      {"on the window's top row", Plan(kFree, {300, 200}), nothing},
      {"one above it", Plan(kFree, {300, 199}), away},
      {"on the line below the window", Plan(kFree, {300, 466}), nothing},
      {"one below that line", Plan(kFree, {300, 467}), away},
      {"away from a note at the right edge", Plan(kAtRight, {10, 10}), {true, true, TwipPoint{19150, 3000}}},
      {"on a note at the right edge", Plan(kAtRight, {1100, 300}), {false, false, TwipPoint{15370, 3000}}},
      {"dragged into the right edge", Plan(kAtRight, {10, 10}, true), away},
  };
  for (const auto& c : cases) EXPECT_EQ(c.plan, c.expected) << c.what;
}

TEST(WatchTick, APauseInTheTypingSavesWhileThePointerRestsOnTheNote) {
  const TickPlan save{false, true, std::nullopt}, nothing{false, false, std::nullopt};
  const struct { const char* what; TickPlan plan, expected; } cases[] = {
      {"still typing", Plan(kFree, {300, 300}, false, UnsavedText{1999, 9999}), nothing},
      {"a pause", Plan(kFree, {300, 300}, false, UnsavedText{2000, 2000}), save},
      {"typing on without a pause", Plan(kFree, {300, 300}, false, UnsavedText{100, 10000}), save},
      {"on the border, after a save that failed: tried on every tick", Plan(kFree, {200, 300}, false, UnsavedText{60000, 60000}), save},
      {"saved since", Plan(kFree, {300, 300}, false, std::nullopt), nothing},
      {"a pause while the note is dragged", Plan(kFree, {300, 300}, true, UnsavedText{2000, 2000}), save},
      {"typing, the pointer away", Plan(kFree, {900, 900}, false, UnsavedText{0, 0}), {true, true, std::nullopt}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.plan, c.expected) << c.what;
}

TEST(WrittenNote, TheWatcherWritesOnlyWhatChangedOrAFileNoLongerAsItLeftIt) {
  const FileStamp left{true, 379, 1000};
  const WrittenNote written{u"购物", u"牛奶\r\n面包", left};
  const struct { const char* what; std::optional<WrittenNote> last; std::u16string_view title, body; FileStamp now; bool writes; } cases[] = {
      {"nothing written yet", std::nullopt, u"", u"", left, true},
      {"idle note", written, u"购物", u"牛奶\r\n面包", left, false},
      {"a letter typed", written, u"购物", u"牛奶\r\n面包x", left, true},
      {"title committed", written, u"购物单", u"牛奶\r\n面包", left, true},
      {"file deleted by another program", written, u"购物", u"牛奶\r\n面包", {false, 0, 0}, true},
      {"file changed by another program", written, u"购物", u"牛奶\r\n面包", {true, 12, 1000}, true},
      {"same size, written again since", written, u"购物", u"牛奶\r\n面包", {true, 379, 2000}, true},
  };
  for (const auto& c : cases) EXPECT_EQ(NeedsWrite(c.last, c.title, c.body, c.now), c.writes) << c.what;
}

}  // namespace
}  // namespace stickwell::note
