#include "note/core/MenuState.h"

namespace stickwell::note {
namespace {

using Kind = MenuEntry::Kind;
constexpr MenuEntry kTree[] = {
    {MenuItem::Open, Kind::Command, u"打开"},
    {MenuItem::Lock, Kind::Command, kUnlockedCaption},
    {MenuItem::Clear, Kind::Command, u"清空"},
    {MenuItem::Separator, Kind::Separator, u"-"},
    {MenuItem::FontSize, Kind::Submenu, u"字体大小"},
    {MenuItem::Bigger, Kind::SubmenuCommand, u"变大(ctrl+↑)"},
    {MenuItem::Smaller, Kind::SubmenuCommand, u"变小(ctrl+↓)"},
    {MenuItem::FontColour, Kind::Submenu, u"字体颜色"},
    {MenuItem::BlackText, Kind::SubmenuCommand, u"默认值"},
    {MenuItem::RedText, Kind::SubmenuCommand, u"经典红"},
    {MenuItem::Background, Kind::Submenu, u"背景颜色"},
    {MenuItem::RedScheme, Kind::SubmenuCommand, u"经典红"},
    {MenuItem::YellowScheme, Kind::SubmenuCommand, u"经典黄"},
    {MenuItem::BlueScheme, Kind::SubmenuCommand, u"经典蓝"},
    {MenuItem::CheckForUpdates, Kind::Command, u"检查更新"},
    {MenuItem::OfficialSite, Kind::Command, u"官方网站"},
};
static_assert(std::size(kTree) == kMenuItemCount);

constexpr MenuItem kTextColourGroup[] = {MenuItem::BlackText, MenuItem::RedText};
constexpr MenuItem kSchemeGroup[] = {MenuItem::RedScheme, MenuItem::YellowScheme, MenuItem::BlueScheme};

constexpr std::uint32_t kBlack = 0x00000000;
constexpr std::uint32_t kRed = 0x000000FF;

void CheckOnly(MenuMarks& marks, std::span<const MenuItem> group, MenuItem picked) {
  for (MenuItem item : group) marks.checked[static_cast<std::size_t>(item)] = item == picked;
}

MenuCommand TextColour(MenuMarks& marks, MenuItem picked, std::uint32_t colour) {
  CheckOnly(marks, kTextColourGroup, picked);
  return {MenuCommand::Action::SetTextColour, colour, {}};
}

MenuCommand SchemeOf(MenuMarks& marks, MenuItem picked, Scheme scheme) {
  CheckOnly(marks, kSchemeGroup, picked);
  return {MenuCommand::Action::SetScheme, 0, scheme};
}

}  // namespace

std::span<const MenuEntry> MenuTree() { return kTree; }

bool IsLocked(std::u16string_view lockCaption) { return lockCaption != kUnlockedCaption; }

MenuMarks InitialMarks() {
  MenuMarks marks;
  marks.checked[static_cast<std::size_t>(MenuItem::BlackText)] = true;
  marks.checked[static_cast<std::size_t>(MenuItem::YellowScheme)] = true;
  marks.lockCaption = kUnlockedCaption;
  return marks;
}

MenuCommand Pick(MenuItem item, MenuMarks& marks) {
  using Action = MenuCommand::Action;
  switch (item) {
    case MenuItem::Open: return {Action::OpenNote};
    case MenuItem::Lock:
      marks.lockCaption = IsLocked(marks.lockCaption) ? kUnlockedCaption : kLockedCaption;
      return {};
    case MenuItem::Clear: return {Action::Clear};
    case MenuItem::Bigger: return {Action::GrowFont};
    case MenuItem::Smaller: return {Action::ShrinkFont};
    case MenuItem::BlackText: return TextColour(marks, item, kBlack);
    case MenuItem::RedText: return TextColour(marks, item, kRed);
    case MenuItem::RedScheme: return SchemeOf(marks, item, {0x008080FF, 0x00C0C0FF});
    case MenuItem::YellowScheme: return SchemeOf(marks, item, {0x0000FFFF, 0x0080FFFF});
    case MenuItem::BlueScheme: return SchemeOf(marks, item, {0x00FF8080, 0x00FFC0C0});
    case MenuItem::CheckForUpdates: return {Action::CheckForUpdates};
    case MenuItem::OfficialSite: return {Action::OpenOfficialSite};
    case MenuItem::Separator:
    case MenuItem::FontSize:
    case MenuItem::FontColour:
    case MenuItem::Background: return {};
  }
  return {};
}

}  // namespace stickwell::note
