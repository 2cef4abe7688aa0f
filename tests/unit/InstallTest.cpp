#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "shared/Install.h"
#include "shared/InstallJournal.h"
#include "shared/InstallNames.h"

namespace stickwell::install {
namespace {

struct Killed {};

// A program folder in memory, with Windows' rules for running programs: an executable that runs can be
// renamed but not replaced or deleted, under any of its names. Renaming a name onto another name of the
// same file does nothing, as on POSIX and so under Wine. Each changing step can be made to fail, or to
// kill the process before it.
class MemoryFolder : public Folder {
 public:
  using Files = std::map<std::u16string, std::string>;
  explicit MemoryFolder(const Files& files) { for (const auto& [name, bytes] : files) names_[name] = Make(bytes); }
  Files files() const {
    Files files;
    for (const auto& [name, file] : names_) files[name] = *file;
    return files;
  }
  void run(std::u16string_view name, bool own) { running_.insert(at(name)), own_ = own ? at(name) : own_; }
  void endProcesses() { running_.clear(), own_ = nullptr; }

  int steps = 0, failAt = -1, killAt = -1;
  bool hardLinks = true, programEverMissing = false;

  std::optional<std::uint64_t> length(std::u16string_view name) override {
    return at(name) ? std::optional<std::uint64_t>(at(name)->size()) : std::nullopt;
  }
  bool sameFile(std::u16string_view a, std::u16string_view b) override { return at(a) && at(a) == at(b); }
  Link link(std::u16string_view existing, std::u16string_view name) override {
    if (!step() || !at(existing) || at(name)) return Link::Failed;
    if (!hardLinks) return Link::Unsupported;
    names_[std::u16string(name)] = names_[std::u16string(existing)];
    return Link::Made;
  }
  bool move(std::u16string_view from, std::u16string_view to) override {
    if (!step() || !at(from) || running_.count(at(to))) return false;
    if (at(from) != at(to)) names_[std::u16string(to)] = names_[std::u16string(from)], erase(from);
    return true;
  }
  bool remove(std::u16string_view name) override { return step() && !running_.count(at(name)) && (erase(name), true); }
  bool write(std::u16string_view name, std::string_view bytes) override {
    const bool written = step();  // a failed write leaves what it got to, as on a full disk
    names_[std::u16string(name)] = Make(bytes.substr(0, written ? bytes.size() : bytes.size() / 2));
    return written;
  }
  std::optional<std::string> read(std::u16string_view name) override { return at(name) ? std::optional(*at(name)) : std::nullopt; }
  bool replaceable(std::u16string_view name) override { return !running_.count(at(name)); }
  bool isOwnProgram(std::u16string_view name) override { return at(name) && at(name) == own_; }
  void pause() override {}

 private:
  static std::shared_ptr<const std::string> Make(std::string_view bytes) { return std::make_shared<std::string>(bytes); }
  const std::string* at(std::u16string_view name) const {
    const auto found = names_.find(std::u16string(name));
    return found == names_.end() ? nullptr : found->second.get();
  }
  void erase(std::u16string_view name) {
    names_.erase(std::u16string(name));
    programEverMissing = programEverMissing || !at(u"Stickwell.exe");
  }
  bool step() { return steps == killAt ? throw Killed{} : steps++ != failAt; }
  std::map<std::u16string, std::shared_ptr<const std::string>> names_;
  std::set<const std::string*> running_;
  const std::string* own_ = nullptr;
};

const MemoryFolder::Files kOld = {{u"Stickwell.exe", "old note"}, {u"Renewick.exe", "old updater"}, {u"ReadMe.txt", "read me 1"}};
const MemoryFolder::Files kNew = {{u"Stickwell.exe", "the new note"}, {u"Renewick.exe", "old updater"},
                                  {u"NewRenewick.exe", "new updater"}, {u"ReadMe.txt", "read me 2"}};
// The read-me first: its old and new file have one length, so only the journal tells them apart.
const std::vector<std::u16string> kTargets = {u"ReadMe.txt", u"Stickwell.exe", u"NewRenewick.exe"};

// The updater's part: the journal, the downloads into their staging files, the install.
Outcome Update(MemoryFolder& folder, std::size_t shortBy = 0, bool noteStarts = false) {
  if (!BeginStaging(folder, kTargets)) return Outcome::RolledBack;
  if (noteStarts) folder.run(u"Stickwell.exe", false);
  std::vector<StagedFile> staged;
  for (const auto& target : kTargets) {
    if (!folder.write(StagingName(target), kNew.at(target).substr(shortBy))) return AbandonStaging(folder, kTargets);
    staged.push_back({target, kNew.at(target).size()});
  }
  return InstallStaged(folder, staged).outcome;
}

// An update with one step failing and a kill, then the next start, killed too, then the one after it.
// The folder must end all old or all new, with nothing of the update's own left, and without a moment
// lacking "Stickwell.exe" unless the volume has no hard links or the note had to rename itself (it
// then starts itself anew). Returns how many steps the update took, and whether the second kill came.
std::pair<int, bool> Check(int failAt, int killAt, int recoveryKillAt, std::u16string_view program, bool hardLinks) {
  SCOPED_TRACE(testing::Message() << failAt << " " << killAt << " " << recoveryKillAt << " " << program.size() << hardLinks);
  MemoryFolder folder(kOld);
  folder.hardLinks = hardLinks, folder.failAt = failAt, folder.killAt = killAt;
  std::optional<Outcome> outcome;
  try {
    outcome = Update(folder);
    EXPECT_TRUE(outcome != Outcome::RolledBack || folder.files() == kOld) << "at once";
  } catch (const Killed&) {
  }
  const int steps = folder.steps;
  folder.failAt = -1, folder.killAt = recoveryKillAt < 0 ? -1 : steps + recoveryKillAt;
  bool killedAgain = false;
  for (int start = 0; start < 3 && folder.read(kJournalName); ++start) {
    folder.endProcesses();
    folder.run(folder.read(program) ? program : u"Renewick.exe", true);  // no note to start: the updater
    try {
      if (!Recover(folder).restartProgram) break;
    } catch (const Killed&) {
      killedAgain = true, folder.killAt = -1;
    }
  }
  EXPECT_FALSE(folder.read(kJournalName)) << "the journal is left";
  const bool installed = outcome ? outcome == Outcome::Installed : folder.files() == kNew;
  EXPECT_EQ(folder.files(), installed ? kNew : kOld);
  EXPECT_FALSE(folder.programEverMissing && hardLinks && program == u"Renewick.exe");
  return {steps, killedAgain};
}

// Every step failing in turn, the update killed on its way back after that, the update killed at any
// moment, and the recovery that follows killed at any moment: the next start finishes the job.
TEST(Install, EveryFailureAndEveryKillEndsAllOldOrAllNew) {
  for (bool hardLinks : {true, false}) {
    for (auto program : {u"Stickwell.exe", u"Renewick.exe"}) {
      const int steps = Check(-1, -1, -1, program, hardLinks).first;
      for (int at = 0; at < steps; ++at) {
        const int failing = Check(at, -1, -1, program, hardLinks).first;
        for (int killAt = at + 1; killAt < failing; ++killAt) Check(at, killAt, -1, u"Renewick.exe", hardLinks);
        for (int recoveryKillAt = 0; Check(-1, at, recoveryKillAt, program, hardLinks).second; ++recoveryKillAt) {
        }
      }
    }
  }
}

TEST(Install, NothingMovesUnlessEveryFileCanBeReplacedByACompleteOne) {
  for (const auto& [shortBy, noteStarts] : {std::pair{1, false}, std::pair{0, true}}) {
    MemoryFolder folder(kOld);
    EXPECT_EQ(Update(folder, shortBy, noteStarts), Outcome::RolledBack) << noteStarts;
    EXPECT_EQ(folder.files(), kOld) << noteStarts;
  }
}

TEST(InstallJournal, OnlyAWholeJournalGoesForwardAndNoneNamesOtherFiles) {
  const Journal journal{Direction::Forward,
                        {{u"Stickwell.exe", u"Stickwell.exe.staged", u"Stickwell.exe.replaced", true, 12},
                         {u"新说明.txt", u"新说明.txt.staged", u"新说明.txt.replaced", false, std::nullopt}},
                        true};
  const std::string bytes = FormatJournal(journal);
  EXPECT_EQ(ParseJournal(bytes), journal);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    const Journal torn = ParseJournal(bytes.substr(0, cut));
    EXPECT_TRUE(!torn.whole && torn.direction == Direction::Back && torn.entries.size() <= 2) << cut;
    EXPECT_TRUE(torn.entries.empty() || torn.entries[0] == journal.entries[0]) << cut;
  }
  // A name outside the folder, one of the update's own, another file's name for the staged or the old file.
  for (const JournalEntry& foreign : {JournalEntry{u"..\\a", u"..\\a.staged", u"..\\a.replaced"}, {u"a.staged", u"a.staged.staged", u"a.staged.replaced"},
                                      {u"a", u"Renewick.exe", u"a.replaced"}, {u"a", u"a.staged", u"Renewick.exe"}})
    EXPECT_TRUE(ParseJournal(FormatJournal({Direction::Back, {foreign}, true})).entries.empty()) << foreign.staging.size();
}

}  // namespace
}  // namespace stickwell::install
