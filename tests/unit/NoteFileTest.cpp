#include <gtest/gtest.h>

#include "note/core/NoteFile.h"
#include "note/core/NoteFileClaim.h"

namespace stickwell::note {
namespace {

TEST(NoteFile, NameAndStartTimeFollowTheClock) {
  const struct { ClockReading clock; int copy; std::u16string_view fileName, caption; } cases[] = {
      {{1, 1, 0, 0, 5}, 1, u"1-1 00-00-05.txt", u"1-1 00:00  "},
      {{3, 5, 9, 4, 7}, 1, u"3-5 09-04-07.txt", u"3-5 09:04  "},
      {{12, 25, 13, 30, 0}, 1, u"12-25 13-30-00.txt", u"12-25 13:30  "},
      // Later notes of the same second take the next free copy number.
      {{10, 31, 23, 59, 59}, 12, u"10-31 23-59-59 (12).txt", u"10-31 23:59  "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NoteFileName(c.clock, c.copy), c.fileName);
    EXPECT_EQ(StartTimeCaption(c.clock), c.caption);
  }
}

// Answers as letters: C claimed, T the name taken, R the folder refused.
TEST(NoteFileClaim, TheProgramFolderFirstThenTheUsersThenNowhere) {
  const struct { const char* what; std::string answers; ClaimTry kept; bool nowhere; } cases[] = {
      {"a writable program folder", "C", {NoteFolder::Program, 1}, false},
      {"two notes of the same second before", "TTC", {NoteFolder::Program, 3}, false},
      {"a program folder that refuses", "RC", {NoteFolder::User, 1}, false},
      {"refused after a taken name, taken in the user's folder too", "TRTC", {NoteFolder::User, 2}, false},
      {"both refuse, after taken names", "TRTR", {NoteFolder::Program, 1}, true},
      {"every copy taken", std::string(NoteFileClaim::kMaximumCopies, 'T') + "C", {NoteFolder::User, 1}, false},
  };
  for (const auto& c : cases) {
    NoteFileClaim claim;
    for (size_t i = 0; i < c.answers.size(); ++i) {
      const ClaimAnswer answer = c.answers[i] == 'C' ? ClaimAnswer::Claimed : c.answers[i] == 'T' ? ClaimAnswer::NameTaken : ClaimAnswer::Refused;
      ASSERT_EQ(claim.answer(answer), i + 1 < c.answers.size()) << c.what << ", answer " << i;
    }
    EXPECT_TRUE(claim.current() == c.kept && claim.nowhere() == c.nowhere) << c.what;
  }
}

}  // namespace
}  // namespace stickwell::note
