#include <gtest/gtest.h>

#include "note/core/SavingFiles.h"

namespace stickwell::note {
namespace {

TEST(SavingFiles, TheWriterOfATemporaryName) {
  EXPECT_EQ(SavingSuffix(4242), u".4242.saving");
  const struct { std::u16string_view name; std::optional<std::uint32_t> writer; } cases[] = {
      {u"12-7 10-39-51.txt.4242.saving", 4242}, {u"广告合作及其协议.TXT.4294967295.saving", 4294967295u},
      {u"a.txt.4294967296.saving", std::nullopt},  // no process has that id
      {u"a.txt..saving", std::nullopt},          {u"a.txt.12a.saving", std::nullopt},
      {u"a.exe.12.saving", std::nullopt},        {u"12-7 10-39-51.txt", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(SavingFileWriter(c.name), c.writer) << testing::PrintToString(c.name);
}

TEST(SavingFiles, AStartingNoteRemovesOnlyWhatWasLeftBehind) {
  const struct { const char* what; bool ours, writerRuns; std::int64_t ageMs; bool removed; } cases[] = {
      {"its writer is gone", false, false, 500, true},
      {"a running note saving now", false, true, 500, false},
      {"a minute old, its id taken by another process", false, true, 61'000, true},
      {"this note's own", true, false, 3'600'000, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsLeftBehind(c.ours, c.writerRuns, c.ageMs), c.removed) << c.what;
}

}  // namespace
}  // namespace stickwell::note
