#include <gtest/gtest.h>

#include "shared/PlainFileName.h"

namespace stickwell::page {
namespace {

TEST(PlainFileName, RefusesNamesThatLeadElsewhere) {
  using enum FileNameFault;
  const struct {
    std::u16string name;
    FileNameFault fault;
  } cases[] = {
      {u"广告合作及其协议.txt", kNone}, {u" lead blank.txt", kNone}, {u"a..b", kNone}, {u"COM10", kNone},
      {u"LPT0.txt", kNone}, {u"xCON", kNone}, {u".hidden", kNone}, {std::u16string(255, u'a'), kNone},
      {u"", kEmpty},
      {u"..\\Stickwell.exe", kPathCharacter}, {u"sub/Stickwell.exe", kPathCharacter},
      {u"C:Stickwell.exe", kPathCharacter},
      {u"..", kDotName},
      {u"a\tb.exe", kControlCharacter}, {u"a\u0085b", kControlCharacter},
      {u"Stickwell.exe.", kTrailingDotOrBlank}, {u"Stickwell.exe ", kTrailingDotOrBlank},
      {u"CON", kDeviceName}, {u"prn.tar.gz", kDeviceName}, {u"lPt9.log", kDeviceName},
      {u"COM\u00B9", kDeviceName}, {u"NUL .txt", kDeviceName},
      {std::u16string(256, u'a'), kTooLong},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckPlainFileName(c.name), c.fault) << testing::PrintToString(c.name);
}

}  // namespace
}  // namespace stickwell::page
