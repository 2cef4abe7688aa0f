#include <gtest/gtest.h>

#include <optional>

#include "note/core/PointerRules.h"

namespace stickwell::note {
namespace {

using Part = NotePart;
using Kind = PointerKind;
using Action = PointerReaction::Action;

constexpr std::uint32_t kBlue = 0x00FF8080;  // the blue scheme's header colour
constexpr auto kGrey = kAppWorkspaceColour;
constexpr std::optional<std::uint32_t> kSame;
constexpr auto kArrow = ProgramPointer::SizingArrow, kOwn = ProgramPointer::Default;
constexpr int kLeft = 1, kRight = 2;

PointerReaction React(std::optional<std::uint32_t> plus, std::optional<std::uint32_t> close,
                      std::optional<ProgramPointer> pointer = {}, Action action = Action::None, bool swallow = false) {
  return {plus, close, pointer, action, swallow};
}
PointerReaction Does(Action action, bool swallow = false) { return React(kSame, kSame, {}, action, swallow); }

TEST(PointerRules, WhatEachPartDoesWithThePointer) {
  const struct { const char* what; Part part; PointerInput event; bool locked; PointerReaction expected; } cases[] = {
      {"over the bare area: grey buttons", Part::BareArea, {Kind::Move, 0}, false, React(kGrey, kGrey)},
      {"bare area dragged", Part::BareArea, {Kind::Move, kLeft}, false, React(kGrey, kGrey, {}, Action::DragWindow)},
      {"locked note is not dragged", Part::Title, {Kind::Move, kLeft}, true, React(kGrey, kGrey)},
      {"title double-click edits", Part::Title, {Kind::DoubleClick, kLeft}, true, Does(Action::BeginTitleEdit)},
      {"title right press: menu", Part::Title, {Kind::Press, kRight}, false, Does(Action::ShowMenu)},
      {"over \"+\": red", Part::PlusButton, {Kind::Move, 0}, false, React(kRedText, kSame)},
      {"\"+\" clicked", Part::PlusButton, {Kind::Click, kLeft}, false, Does(Action::NewNote)},
      {"\"x\" pressed, not released", Part::CloseButton, {Kind::Press, kLeft}, false, Does(Action::None)},
      {"\"x\" clicked, locked", Part::CloseButton, {Kind::Click, kLeft}, true, Does(Action::CloseNote)},
      {"over the body: buttons hide", Part::Body, {Kind::Move, 0}, false, React(kBlue, kBlue, kOwn)},
      {"body clicked commits the title", Part::Body, {Kind::Click, kLeft}, false, Does(Action::CommitTitle)},
      {"body right press: our menu only", Part::Body, {Kind::Press, kRight}, false, Does(Action::ShowMenu, true)},
      {"over the grip: sizing arrow", Part::Grip, {Kind::Move, 0}, false, React(kSame, kSame, kArrow)},
      {"grip dragged, right button, locked", Part::Grip, {Kind::Move, kRight}, true,
       React(kSame, kSame, kArrow, Action::ResizeByGrip)},
      {"grip double-click", Part::Grip, {Kind::DoubleClick, kLeft}, true, Does(Action::RestoreDefaultSize)},
      {"a strip clears the arrow", Part::SideStrip, {Kind::Move, kLeft}, false, React(kSame, kSame, kOwn)},
      {"title editor changes nothing", Part::TitleEditor, {Kind::Move, kLeft}, false, Does(Action::None)},
  };
  for (const auto& c : cases) EXPECT_TRUE(ReactToPointer(c.part, c.event, c.locked, kBlue) == c.expected) << c.what;
}

TEST(PointerRules, TheGripProposesASideOnlyAbove500Twips) {
  EXPECT_EQ(GripProposal(5000, -4500), std::nullopt);  // exactly 500
  EXPECT_EQ(GripProposal(5000, -4485), 515.f);         // the layout then makes it 3000
  EXPECT_EQ(GripProposal(3000, 0.5f), 3000.5f) << "single precision, no rounding of its own";
}

TEST(PointerRules, TheMenuKeysOpenTheNotesMenuAtTheCaret) {
  EXPECT_EQ(AnswerContextMenu(Part::Body, true), ContextMenuAnswer::NoteMenuAtCaret);
  EXPECT_EQ(AnswerContextMenu(Part::TitleEditor, true), ContextMenuAnswer::NoteMenuAtCaret);
  EXPECT_EQ(AnswerContextMenu(Part::Body, false), ContextMenuAnswer::Swallow);
  EXPECT_EQ(AnswerContextMenu(Part::TitleEditor, false), ContextMenuAnswer::PassOn);
}

}  // namespace
}  // namespace stickwell::note
