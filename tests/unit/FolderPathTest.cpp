#include <gtest/gtest.h>

#include "shared/FolderPath.h"

namespace stickwell {
namespace {

TEST(FolderPath, BackslashOnlyWhenMissing) {
  EXPECT_EQ(JoinFolderPath(u"C:\\Notes", u"1-1 00-00-05.txt"), u"C:\\Notes\\1-1 00-00-05.txt");
  EXPECT_EQ(JoinFolderPath(u"\\\\server\\share\\", u"a.txt"), u"\\\\server\\share\\a.txt");
}

// `start`, then "a" up to `length` characters.
std::u16string PathOf(std::u16string_view start, std::size_t length) { return std::u16string(start) + std::u16string(length - start.size(), u'a'); }

TEST(FolderPath, LongPathsTakeThePrefixedFormAndShortOnesStayAsTheyAre) {
  const std::u16string drive260 = PathOf(u"C:\\", 260), share260 = PathOf(u"\\\\nas\\notes\\", 260);
  const struct { const char* what; std::u16string path, form; } cases[] = {
      {"a drive path of 259", PathOf(u"C:\\", 259), PathOf(u"C:\\", 259)},
      {"a drive path of 260", drive260, u"\\\\?\\" + drive260},
      {"forward slashes", PathOf(u"d:/x/", 300), u"\\\\?\\d:\\x\\" + PathOf(u"", 295)},
      {"a share of 259", PathOf(u"\\\\nas\\notes\\", 259), PathOf(u"\\\\nas\\notes\\", 259)},
      {"a share of 260", share260, u"\\\\?\\UNC\\" + share260.substr(2)},
      {"already prefixed", u"\\\\?\\UNC\\" + share260.substr(2), u"\\\\?\\UNC\\" + share260.substr(2)},
      {"a device path", PathOf(u"\\\\.\\", 300), PathOf(u"\\\\.\\", 300)},
      {"relative", PathOf(u"notes\\", 300), PathOf(u"notes\\", 300)},
      {"relative to a drive's folder", PathOf(u"C:", 300), PathOf(u"C:", 300)},
  };
  for (const auto& c : cases) EXPECT_EQ(LongPathForm(c.path), c.form) << c.what;
  EXPECT_EQ(PlainPathForm(u"\\\\?\\" + drive260), drive260);
  EXPECT_EQ(PlainPathForm(u"\\\\?\\UNC\\" + share260.substr(2)), share260);
  EXPECT_EQ(PlainPathForm(u"\\\\?\\Volume{0}\\x"), u"\\\\?\\Volume{0}\\x") << "has no other form";
}

}  // namespace
}  // namespace stickwell
