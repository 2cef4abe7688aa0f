#include <gtest/gtest.h>


#include "shared/UpdatePage.h"

namespace stickwell::page {
namespace {

TEST(PlainFileName, KeepsOrdinaryNames) {
  for (std::u16string_view name : {u"Stickwell.exe", u"Renewick.exe", u"广告合作及其协议.txt", u" lead blank.txt",
                                   u"a..b", u"CONFIG.SYS", u"COM10", u"LPT0.txt", u"AUX1", u"xCON", u"NULL.dll",
                                   u".hidden", u"a\u00A0"}) {
    EXPECT_TRUE(IsPlainFileName(name)) << testing::PrintToString(name);
  }
  EXPECT_TRUE(IsPlainFileName(std::u16string(255, u'a')));
}

TEST(PlainFileName, RefusesNamesThatLeadElsewhere) {
  struct Case {
    std::u16string name;
    FileNameFault fault;
  } const cases[] = {
      {u"", FileNameFault::kEmpty},
      {u"..\\Stickwell.exe", FileNameFault::kPathCharacter},
      {u"sub/Stickwell.exe", FileNameFault::kPathCharacter},
      {u"C:Stickwell.exe", FileNameFault::kPathCharacter},
      {u".", FileNameFault::kDotName},
      {u"..", FileNameFault::kDotName},
      {u"a\tb.exe", FileNameFault::kControlCharacter},
      {u"a\u0085b", FileNameFault::kControlCharacter},
      {u"Stickwell.exe.", FileNameFault::kTrailingDotOrBlank},
      {u"Stickwell.exe ", FileNameFault::kTrailingDotOrBlank},
      {u"CON", FileNameFault::kDeviceName},
      {u"con.txt", FileNameFault::kDeviceName},
      {u"prn.tar.gz", FileNameFault::kDeviceName},
      {u"COM1", FileNameFault::kDeviceName},
      {u"lPt9.log", FileNameFault::kDeviceName},
      {u"COM\u00B9", FileNameFault::kDeviceName},
      {u"NUL .txt", FileNameFault::kDeviceName},
      {std::u16string(256, u'a'), FileNameFault::kTooLong},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckPlainFileName(c.name), c.fault) << testing::PrintToString(c.name);
    EXPECT_FALSE(IsPlainFileName(c.name));
  }
}

}  // namespace
}  // namespace stickwell::page
