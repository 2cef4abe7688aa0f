#pragma once
// The note's popup menu: its items in display order, the check marks of its two groups, the lock
// (which is nothing but the caption of the lock item) and what each item does to the note.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace stickwell::note {

enum class MenuItem {
  Open,             // 打开
  Lock,             // 锁定 / 解锁
  Clear,            // 清空
  Separator,
  FontSize,         // 字体大小 ▸
  Bigger,           //   变大(ctrl+↑)
  Smaller,          //   变小(ctrl+↓)
  FontColour,       // 字体颜色 ▸
  BlackText,        //   默认值
  RedText,          //   经典红
  Background,       // 背景颜色 ▸
  RedScheme,        //   经典红
  YellowScheme,     //   经典黄
  BlueScheme,       //   经典蓝
  CheckForUpdates,  // 检查更新
  OfficialSite,     // 官方网站
};
inline constexpr std::size_t kMenuItemCount = static_cast<std::size_t>(MenuItem::OfficialSite) + 1;

struct MenuEntry {
  enum class Kind {
    Command,         // an item of the menu itself
    Separator,
    Submenu,         // opens the submenu of the entries that follow it
    SubmenuCommand,  // an item of the submenu opened by the nearest Submenu entry before it
  };
  MenuItem item;
  Kind kind;
  std::u16string_view caption;
};

// Every item in display order; a submenu's items follow the item that opens it.
std::span<const MenuEntry> MenuTree();

inline constexpr std::u16string_view kUnlockedCaption = u"锁定";  // the item offers to lock
inline constexpr std::u16string_view kLockedCaption = u"解锁";    // the item offers to unlock

// The lock item's caption is the lock: the note is unlocked only while it reads "锁定".
bool IsLocked(std::u16string_view lockCaption);

// What the menu shows besides its fixed captions: the check marks and the lock item's caption.
struct MenuMarks {
  std::array<bool, kMenuItemCount> checked{};
  std::u16string lockCaption;

  bool isChecked(MenuItem item) const { return checked[static_cast<std::size_t>(item)]; }
  friend bool operator==(const MenuMarks&, const MenuMarks&) = default;
};

// A fresh note: black text, the yellow scheme, unlocked.
MenuMarks InitialMarks();

// Colours are 0x00BBGGRR.
struct Scheme {
  std::uint32_t header;  // the window and the title row: "+", "x", the title
  std::uint32_t body;    // the body's frame, the body, the grip and the two strips
  friend bool operator==(const Scheme&, const Scheme&) = default;
};

// What the note does for a picked item, after the menu has taken its new marks.
struct MenuCommand {
  enum class Action {
    None,           // the lock, the separator and the submenu items only change the menu
    OpenNote,
    Clear,
    GrowFont,
    ShrinkFont,
    SetTextColour,  // `textColour` to the body's text
    SetScheme,      // `scheme` to the note
    CheckForUpdates,
    OpenOfficialSite,
  };
  Action action = Action::None;
  std::uint32_t textColour = 0;
  Scheme scheme{};
};

// Picking `item`: updates `marks` (a group's item is checked and the rest of its group unchecked,
// whatever they were; the lock item turns its caption over) and says what the note must do.
MenuCommand Pick(MenuItem item, MenuMarks& marks);

}  // namespace stickwell::note
