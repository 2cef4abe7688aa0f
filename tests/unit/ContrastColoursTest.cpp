#include <gtest/gtest.h>

#include "note/core/ContrastColours.h"
#include "note/core/MenuState.h"
#include "note/core/PointerRules.h"

namespace stickwell::note {
namespace {

// Every scheme with every text colour the body can have (the system's window text it starts with, then
// 默认值's black or 经典红's red), each part as the note colours it and "+" in its three looks. Off, the
// chosen colours show; on, the role's pair of system colours, never a fixed one.
TEST(ContrastColours, EverySchemeAndTextColourWithTheThemeOffAndOn) {
  const struct { MenuItem item; Scheme expected; } schemes[] = {
      {MenuItem::RedScheme, {0x008080FF, 0x00C0C0FF}},
      {MenuItem::YellowScheme, {0x0000FFFF, 0x0080FFFF}},
      {MenuItem::BlueScheme, {0x00FF8080, 0x00FFC0C0}},
  };
  const std::uint32_t texts[] = {kSystemWindowText, 0x00000000, 0x000000FF};
  for (const auto& [item, expected] : schemes) {
    MenuMarks marks = InitialMarks();
    const Scheme scheme = Pick(item, marks).scheme;
    ASSERT_EQ(scheme, expected);
    for (const std::uint32_t text : texts) {
      const struct { const char* part; ColourRole role; ColourPair chosen; ColourPair contrast; } parts[] = {
          {"body", ColourRole::Text, {scheme.body, text}, {kSystemWindow, kSystemWindowText}},
          {"title editor", ColourRole::Text, {scheme.header, kSystemWindowText}, {kSystemWindow, kSystemWindowText}},
          {"title", ColourRole::Face, {scheme.header, kSystemButtonText}, {kSystemButtonFace, kSystemButtonText}},
          {"start time", ColourRole::Face, {scheme.body, kSystemButtonText}, {kSystemButtonFace, kSystemButtonText}},
          {"\"+\" hidden", ColourRole::CornerButton, {scheme.header, scheme.header}, {kSystemButtonFace, kSystemButtonFace}},
          {"\"+\" shown", ColourRole::CornerButton, {scheme.header, kAppWorkspaceColour}, {kSystemButtonFace, kSystemButtonText}},
          {"\"+\" hovered", ColourRole::CornerButton, {scheme.header, kRedText}, {kSystemButtonFace, kSystemHighlight}},
      };
      for (const auto& p : parts) {
        SCOPED_TRACE(testing::Message() << p.part << ", scheme " << static_cast<int>(item) << ", text " << text);
        EXPECT_EQ(PaintedColours(p.role, p.chosen, false), p.chosen);
        EXPECT_EQ(PaintedColours(p.role, p.chosen, true), p.contrast) << "on: only the system's pair of the role";
      }
    }
  }
}

}  // namespace
}  // namespace stickwell::note
