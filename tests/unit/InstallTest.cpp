#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>

#include "shared/Install.h"
#include "shared/InstallJournal.h"
#include "shared/InstallNames.h"

namespace stickwell::install {
namespace {

struct Stopped {};  // the process was killed, or the power cut, before a step

// A program folder in memory, with Windows' rules for running programs (an executable that runs can be
// renamed but not replaced or deleted, under any of its names: "access denied", which the programs take
// for a file held a moment) and for the disk: a link or a delete is lost in a power cut unless a later
// write, copy or move, each of which reaches the disk with everything before it, made it durable. A file
// may be held by another program for its next k tries, or be read-only. Each changing step can be made
// to fail, or to stop the process before it. Renaming a name onto another name of the same file does
// nothing, as on POSIX and so under Wine.
class MemoryFolder : public Folder {
 public:
  using Files = std::map<std::u16string, std::string>;
  explicit MemoryFolder(const Files& files) {
    for (const auto& [name, bytes] : files) names_[name] = Make(bytes), first_.insert(name);
    durable_ = names_;
  }
  Files files() const {
    Files files;
    for (const auto& [name, file] : names_) files[name] = *file;
    return files;
  }
  void run(std::u16string_view name, bool own) { running_.insert(at(name)), own_ = own ? at(name) : own_; }
  void endProcesses() { running_.clear(), own_ = nullptr; }
  void powerCut() {
    names_ = durable_, endProcesses();
    noteMissing();
  }
  void hold(std::u16string_view name, int tries) { holds_[at(name)] = tries; }
  void makeReadOnly(std::u16string_view name) { readOnly_.insert(at(name)); }

  int steps = 0, failAt = -1, stopAt = -1;
  bool hardLinks = true, nameEverMissing = false;
  std::set<std::u16string> undeletable;

  std::optional<std::uint64_t> length(std::u16string_view name) override {
    return at(name) ? std::optional<std::uint64_t>(at(name)->size()) : std::nullopt;
  }
  bool sameFile(std::u16string_view a, std::u16string_view b) override { return at(a) && at(a) == at(b); }
  Link link(std::u16string_view existing, std::u16string_view name) override {
    if (!step() || !at(existing) || at(name)) return Link::Failed;
    if (held(existing)) return Link::Held;
    if (!hardLinks) return Link::Unsupported;
    names_[std::u16string(name)] = names_[std::u16string(existing)];
    return Link::Made;
  }
  Answer copy(std::u16string_view from, std::u16string_view to) override {
    if (!step() || !at(from)) return Answer::Failed;
    if (held(from)) return Answer::Held;
    return names_[std::u16string(to)] = Make(*at(from)), durable();
  }
  Answer move(std::u16string_view from, std::u16string_view to) override {
    if (!step() || !at(from)) return Answer::Failed;
    if (held(from) | held(to) || running_.count(at(to)) || readOnly_.count(at(to))) return Answer::Held;
    if (at(from) != at(to)) names_[std::u16string(to)] = names_[std::u16string(from)], erase(from);
    return durable();
  }
  Answer remove(std::u16string_view name) override {
    if (!step()) return Answer::Failed;
    if (!at(name)) return Answer::Done;
    if (undeletable.count(std::u16string(name))) return Answer::Failed;
    if (held(name) || running_.count(at(name)) || readOnly_.count(at(name))) return Answer::Held;
    return erase(name), Answer::Done;
  }
  Answer write(std::u16string_view name, std::string_view bytes) override {
    const bool written = step();  // a failed write leaves what it got to, as on a full disk
    names_[std::u16string(name)] = Make(bytes.substr(0, written ? bytes.size() : bytes.size() / 2));
    return written ? durable() : Answer::Failed;
  }
  std::optional<std::string> read(std::u16string_view name) override { return at(name) ? std::optional(*at(name)) : std::nullopt; }
  Answer makeReplaceable(std::u16string_view name) override {
    if (!step()) return Answer::Failed;
    if (held(name) || running_.count(at(name))) return Answer::Held;
    return readOnly_.erase(at(name)), Answer::Done;
  }
  bool isOwnProgram(std::u16string_view name) override { return at(name) && at(name) == own_; }
  void pause() override {}

 private:
  using Names = std::map<std::u16string, std::shared_ptr<const std::string>>;
  static std::shared_ptr<const std::string> Make(std::string_view bytes) { return std::make_shared<std::string>(bytes); }
  const std::string* at(std::u16string_view name) const {
    const auto found = names_.find(std::u16string(name));
    return found == names_.end() ? nullptr : found->second.get();
  }
  void erase(std::u16string_view name) {
    names_.erase(std::u16string(name));
    noteMissing();
  }
  void noteMissing() {
    for (const auto& name : first_) nameEverMissing = nameEverMissing || !at(name);
  }
  Answer durable() { return durable_ = names_, Answer::Done; }
  bool held(std::u16string_view name) { return at(name) && holds_[at(name)] > 0 && holds_[at(name)]--; }
  bool step() { return steps == stopAt ? throw Stopped{} : steps++ != failAt; }
  Names names_, durable_;
  std::set<std::u16string> first_;  // the names the folder had before the update
  std::set<const std::string*> running_, readOnly_;
  std::map<const std::string*, int> holds_;
  const std::string* own_ = nullptr;
};

using Files = MemoryFolder::Files;
const Files kOld = {{u"Stickwell.exe", "old note"}, {u"Renewick.exe", "old updater"}, {u"ReadMe.txt", "read me 1"}};
const Files kNew = {{u"Stickwell.exe", "the new note"}, {u"Renewick.exe", "old updater"},
                    {u"NewRenewick.exe", "new updater"}, {u"ReadMe.txt", "read me 2"}};
// The read-me first: its old and new file have one length, so only the journal tells them apart.
const std::vector<std::u16string> kTargets = {u"ReadMe.txt", u"Stickwell.exe", u"NewRenewick.exe"};

// The updater's part: the journal, the downloads into their staging files, then `beforeInstall`, the
// install.
Outcome Update(MemoryFolder& folder, const std::function<void(MemoryFolder&)>& beforeInstall = [](MemoryFolder&) {}) {
  if (!BeginStaging(folder, kTargets)) return Outcome::RolledBack;
  std::vector<StagedFile> staged;
  for (const auto& target : kTargets) {
    if (folder.write(StagingName(target), kNew.at(target)) != Answer::Done) return AbandonStaging(folder, kTargets);
    staged.push_back({target, kNew.at(target).size()});
  }
  beforeInstall(folder);
  return InstallStaged(folder, staged);
}

struct Faults {
  int failAt = -1, stopAt = -1, recoveryStopAt = -1;  // steps counted from the update's first, the recovery's from the stop
  bool powerCut = false;                              // each stop cuts the power rather than killing the process
};

// An update with its faults, then the next start, stopped too, then the ones after it. The folder must
// end all old or all new, with nothing of the update's own left, and never lack a file it had before,
// neither between two steps nor after a power cut; "Stickwell.exe" must be whole after a stop. Returns how many steps the update took, and whether
// the second stop came.
std::pair<int, bool> Check(Faults faults, std::u16string_view program, bool hardLinks) {
  SCOPED_TRACE(testing::Message() << faults.failAt << " " << faults.stopAt << " " << faults.recoveryStopAt << " " << faults.powerCut
                                  << " " << program.size() << hardLinks);
  MemoryFolder folder(kOld);
  folder.hardLinks = hardLinks, folder.failAt = faults.failAt, folder.stopAt = faults.stopAt;
  const auto stopped = [&] {
    if (faults.powerCut) folder.powerCut();
    const auto note = folder.read(u"Stickwell.exe");
    EXPECT_TRUE(note == kOld.at(u"Stickwell.exe") || note == kNew.at(u"Stickwell.exe")) << "no whole Stickwell.exe";
  };
  std::optional<Outcome> outcome;
  try {
    outcome = Update(folder);
    EXPECT_TRUE(outcome != Outcome::RolledBack || folder.files() == kOld) << "at once";
  } catch (const Stopped&) {
    stopped();
  }
  const int steps = folder.steps;
  folder.failAt = -1, folder.stopAt = faults.recoveryStopAt < 0 ? -1 : steps + faults.recoveryStopAt;
  bool stoppedAgain = false;
  for (int start = 0; start < 3 && folder.read(kJournalName); ++start) {
    folder.endProcesses();
    folder.run(program, true);
    try {
      Recover(folder);
    } catch (const Stopped&) {
      stoppedAgain = true, folder.stopAt = -1;
      stopped();
    }
  }
  EXPECT_FALSE(folder.read(kJournalName)) << "the journal is left";
  const bool installed = outcome ? outcome == Outcome::Installed : folder.files() == kNew;
  EXPECT_EQ(folder.files(), installed ? kNew : kOld);
  EXPECT_FALSE(folder.nameEverMissing);
  return {steps, stoppedAgain};
}

// Every step failing in turn, the update killed or the power cut on its way back after that, and the
// update stopped at any moment, and the recovery that follows stopped at any moment, each by a kill
// and by a power cut, with a note or the updater starting next: the next start finishes the job.
TEST(Install, EveryFailureKillAndPowerCutEndsAllOldOrAllNew) {
  for (bool hardLinks : {true, false}) {
    for (auto program : {u"Stickwell.exe", u"Renewick.exe"}) {
      const int steps = Check({}, program, hardLinks).first;
      for (int at = 0; at < steps; ++at) {
        const int failing = Check({.failAt = at}, program, hardLinks).first;
        for (bool powerCut : {false, true}) {
          for (int stopAt = at + 1; stopAt < failing; ++stopAt) Check({at, stopAt, -1, powerCut}, program, hardLinks);
          for (int recoveryAt = 0; Check({-1, at, recoveryAt, powerCut}, program, hardLinks).second; ++recoveryAt) {
          }
        }
      }
    }
  }
}

// A scanner or an indexer opens every new file for a moment: within about two seconds a step goes
// through, and a read-only file is made writable. A file held longer, a note running, a staged file
// not complete: the install goes back, and the way back waits for a held file too.
TEST(Install, AFileHeldForAMomentIsWaitedForAndAnythingElseTurnsTheInstallBackCleanly) {
  const struct { const char* what; std::function<void(MemoryFolder&)> before; bool installs; } rows[] = {
      {"every new file held a few tries", [](auto& f) { for (const auto& t : kTargets) f.hold(StagingName(t), 3); }, true},
      {"the old Stickwell.exe held for the whole budget", [](auto& f) { f.hold(u"Stickwell.exe", 20); }, true},
      {"a read-only Stickwell.exe", [](auto& f) { f.makeReadOnly(u"Stickwell.exe"); }, true},
      {"the old Stickwell.exe held one try longer", [](auto& f) { f.hold(u"Stickwell.exe", 21); }, false},
      {"the new updater held past its move and into the way back", [](auto& f) { f.hold(u"NewRenewick.exe.staged", 30); }, false},
      {"a note running", [](auto& f) { f.run(u"Stickwell.exe", false); }, false},
      {"a staged file a byte short", [](auto& f) { f.write(u"ReadMe.txt.staged", "read me"); }, false},
  };
  for (const auto& row : rows) {
    for (bool hardLinks : {true, false}) {
      MemoryFolder folder(kOld);
      folder.hardLinks = hardLinks;
      EXPECT_EQ(Update(folder, row.before), row.installs ? Outcome::Installed : Outcome::RolledBack) << row.what << hardLinks;
      EXPECT_EQ(folder.files(), row.installs ? kNew : kOld) << row.what << hardLinks;
    }
  }
}

// A set-aside file that cannot be removed at once leaves the journal; the note hands the new updater
// over meanwhile and the user edits a text file the update brought. The next start only cleans up.
TEST(Install, OnceEveryFileIsInPlaceTheUpdateIsNeverUndone) {
  MemoryFolder folder(kOld);
  folder.undeletable = {u"ReadMe.txt.replaced"};
  ASSERT_EQ(Update(folder), Outcome::Installed);
  ASSERT_TRUE(folder.read(kJournalName));
  folder.hold(u"NewRenewick.exe", 5);  // the ending updater, or a scanner
  EXPECT_TRUE(HandOffUpdater(folder));
  folder.write(u"ReadMe.txt", "read me 2, edited");
  folder.undeletable.clear();
  folder.run(u"Stickwell.exe", true);
  EXPECT_EQ(Recover(folder), Outcome::Installed);
  EXPECT_EQ(folder.files(), (Files{{u"Stickwell.exe", "the new note"}, {u"Renewick.exe", "new updater"}, {u"ReadMe.txt", "read me 2, edited"}}));

  // While an update is at work, its new updater is not handed over.
  MemoryFolder working(kNew);
  ASSERT_TRUE(BeginStaging(working, {u"NewRenewick.exe"}));
  EXPECT_FALSE(HandOffUpdater(working));
  EXPECT_EQ(working.read(u"NewRenewick.exe"), "new updater");
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

std::string Utf16(std::u16string_view text) {
  std::string bytes;
  for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

// Layout 1 (earlier versions) is read as it was; a later layout's journal is a newer program's, whose
// files are left as they are.
TEST(InstallJournal, AnEarlierLayoutIsReadAndALaterOneLeftAlone) {
  const std::u16string entry = u"Stickwell.exe\tStickwell.exe.staged\tStickwell.exe.replaced\texisted\t12\r\nend\r\n";
  const Journal first = ParseJournal(Utf16(u"\uFEFFStickwell update journal 1\r\nforward\r\n" + entry));
  EXPECT_TRUE(first.whole && first.known && first.direction == Direction::Forward && first.entries.size() == 1);
  EXPECT_EQ(ParseJournal(Utf16(u"\uFEFFStickwell update journal 1\r\ninstalled\r\n" + entry)).direction, Direction::Back);
  EXPECT_EQ(ParseJournal(Utf16(u"\uFEFFStickwell update journal 2\r\ninstalled\r\n" + entry)).direction, Direction::Installed);

  const std::string later = Utf16(u"\uFEFFStickwell update journal 3\r\nforward\r\n" + entry);
  const Files files = {{u"Stickwell.exe", "old note"}, {u"Stickwell.exe.staged", "the new note"}, {kJournalName, later}};
  MemoryFolder folder(files);
  EXPECT_EQ(Recover(folder), Outcome::LeftAlone);
  EXPECT_EQ(folder.files(), files);
}

}  // namespace
}  // namespace stickwell::install
