#include <gtest/gtest.h>

#include "note/core/NoteKeys.h"

namespace stickwell::note {
namespace {

using Part = NotePart;
using Answer = KeyAnswer;
constexpr int kNone = 0, kShift = 1, kCtrl = 2, kAlt = 4;

TEST(NoteKeys, WhatEachKeyDoesWhereTheKeyboardIs) {
  const struct { const char* what; Part focus; int key, modifiers; Answer expected; } cases[] = {
      {"Ctrl+N in the body", Part::Body, kKeyN, kCtrl, Answer::NewNote},
      {"Ctrl+N in the title editor", Part::TitleEditor, kKeyN, kCtrl, Answer::NewNote},
      {"Ctrl+Shift+N", Part::Body, kKeyN, kCtrl | kShift, Answer::PassOn},
      {"Alt+N", Part::Body, kKeyN, kAlt, Answer::PassOn},
      {"F2 in the body", Part::Body, kKeyF2, kNone, Answer::BeginTitleEdit},
      {"F2 on the bare window", Part::BareArea, kKeyF2, kNone, Answer::BeginTitleEdit},
      {"F2 in the open editor", Part::TitleEditor, kKeyF2, kNone, Answer::PassOn},
      {"Shift+F2", Part::Body, kKeyF2, kShift, Answer::PassOn},
      {"Enter in the editor", Part::TitleEditor, kKeyReturn, kNone, Answer::CommitTitle},
      {"Enter in the body is a line break", Part::Body, kKeyReturn, kNone, Answer::PassOn},
      {"Ctrl+Enter in the editor", Part::TitleEditor, kKeyReturn, kCtrl, Answer::PassOn},
      {"Alt+Space in the body", Part::Body, kKeySpace, kAlt, Answer::WindowMenu},
      {"Alt+Space in the editor", Part::TitleEditor, kKeySpace, kAlt, Answer::WindowMenu},
  };
  for (const auto& c : cases) EXPECT_EQ(AnswerKey(c.focus, c.key, c.modifiers), c.expected) << c.what;
}

TEST(NoteKeys, TheLockGreysMoveButNotSize) {
  for (bool locked : {false, true}) {
    const auto menu = WindowMenu(locked);
    EXPECT_TRUE(menu[0].placing == Placing::Move && menu[0].caption == u"移动(&M)" && menu[0].enabled == !locked);
    EXPECT_TRUE(menu[1].placing == Placing::Size && menu[1].caption == u"大小(&S)" && menu[1].enabled);
  }
}

TEST(NoteKeys, ArrowsStepEnterKeepsEscReturnsTheRestIsSwallowed) {
  using Action = PlacingStep::Action;
  const struct { int key; PlacingStep expected; } cases[] = {
      {kKeyLeft, {Action::Shift, -120, 0}},   {kKeyRight, {Action::Shift, 120, 0}},
      {kKeyUpArrow, {Action::Shift, 0, -120}}, {kKeyDownArrow, {Action::Shift, 0, 120}},
      {kKeyReturn, {Action::Keep}},           {kKeyEscape, {Action::Return}},
      {kKeyN, {Action::Swallow}},             {kKeyF2, {Action::Swallow}},
  };
  for (const auto& c : cases) EXPECT_EQ(PlacingKey(c.key), c.expected) << "key " << c.key;
}

}  // namespace
}  // namespace stickwell::note
