#include "shared/Install.h"

#include "shared/InstallJournal.h"
#include "shared/InstallNames.h"

namespace stickwell::install {
namespace {

// A program that has just been started anew holds its old file a moment longer while it ends.
constexpr int kRemoveAttempts = 20;

class Run {
 public:
  explicit Run(Folder& folder) : folder_(folder) {}

  bool restartProgram() const { return restartProgram_; }

  bool exists(std::u16string_view name) { return folder_.length(name).has_value(); }

  // A new journal never replaces the old one half-written. Whoever finishes the job removes a
  // temporary file that is left.
  bool writeJournal(const Journal& journal) {
    return folder_.write(kJournalTempName, FormatJournal(journal)) && folder_.move(kJournalTempName, kJournalName);
  }

  // Every file can still be put in place: its staged file is complete, or it is in place already.
  bool canGoForward(const Journal& journal) {
    if (!journal.whole || journal.direction != Direction::Forward || journal.entries.empty()) return false;
    for (const JournalEntry& entry : journal.entries) {
      if (!entry.stagedLength) return false;
      // Going forward never removes a staged file except by moving it in, so a missing one is in place.
      const auto staged = folder_.length(entry.staging);
      if ((staged ? staged : folder_.length(entry.target)) != entry.stagedLength) return false;
    }
    return true;
  }

  bool forward(const Journal& journal) {
    for (const JournalEntry& entry : journal.entries) {
      if (!exists(entry.staging)) continue;
      if (entry.targetExisted && !exists(entry.setAside) && !setAside(entry)) return false;
      if (!putInPlace(entry.staging, entry.target)) return false;
    }
    return true;
  }

  bool back(const Journal& journal) {
    bool restored = true;
    for (const JournalEntry& entry : journal.entries) restored = restore(entry) && restored;
    return restored;
  }

  // The old files kept aside, and a running program's retired file: all no longer needed. A retired
  // file means a program has just started its new file and is ending: it holds its old file a moment
  // longer, so removing waits a little for it.
  bool removeLeftovers(const Journal& journal) {
    bool programEnding = false;
    for (const JournalEntry& entry : journal.entries)
      programEnding = programEnding || (exists(RetiredName(entry.target)) && !folder_.isOwnProgram(RetiredName(entry.target)));
    bool removed = true;
    for (const JournalEntry& entry : journal.entries) {
      removed = removeSoon(entry.setAside, programEnding) && removed;
      removed = removeSoon(RetiredName(entry.target), programEnding) && removed;
    }
    return removed;
  }

  Outcome finish(const Journal& journal, Outcome done) {
    if (journal.direction == Direction::Back && !back(journal)) return Outcome::Unfinished;
    if (!removeLeftovers(journal)) return done == Outcome::Installed ? done : Outcome::Unfinished;
    folder_.remove(kJournalTempName);
    if (!folder_.remove(kJournalName)) return done == Outcome::Installed ? done : Outcome::Unfinished;
    return done;
  }

  Result goForward(const Journal& journal) {
    const Outcome outcome = forward(journal) ? finish(journal, Outcome::Installed) : turnBack(journal);
    return {outcome, restartProgram_};
  }

  // After a failed step going forward: the journal says "back" before the first step back, so that a
  // kill on the way back never leads the next start forward over a file already restored.
  Outcome turnBack(Journal journal) {
    journal.direction = Direction::Back;
    if (!writeJournal(journal)) return Outcome::Unfinished;
    return finish(journal, Outcome::RolledBack);
  }

 private:
  // The old file keeps a second name, so that the target's name stays present throughout; a volume
  // without hard links gets a rename instead. A file that cannot be replaced stops the install before
  // it has a second name, which could not be removed either. The running program's own file is the
  // exception: it is renamed out of the way (putInPlace).
  bool setAside(const JournalEntry& entry) {
    if (!exists(entry.target)) return false;
    if (!folder_.isOwnProgram(entry.target) && !folder_.replaceable(entry.target)) return false;
    switch (folder_.link(entry.target, entry.setAside)) {
      case Folder::Link::Made:
        return true;
      case Folder::Link::Unsupported:
        return move(entry.target, entry.setAside);
      case Folder::Link::Failed:
        break;
    }
    return false;
  }

  bool restore(const JournalEntry& entry) {
    if (exists(entry.setAside)) {
      // Set aside by a link but never replaced: the two names are one file, and renaming one onto the
      // other would leave both (POSIX, and so Wine, does nothing for that rename).
      if (exists(entry.target) && folder_.sameFile(entry.setAside, entry.target)) {
        if (!folder_.remove(entry.setAside)) return false;
      } else if (!putInPlace(entry.setAside, entry.target)) {
        return false;
      }
    } else if (!entry.targetExisted && entry.stagedLength && !exists(entry.staging)) {
      // A file that is new with this update and has been moved in.
      if (!removeOrRetire(entry.target)) return false;
    }
    return folder_.remove(entry.staging);
  }

  // Gives `target` the file now named `from`. The running program's own file cannot be replaced, only
  // renamed: it moves to its retired name first, and is removed once the program has ended.
  bool putInPlace(const std::u16string& from, const std::u16string& target) {
    if (exists(target) && folder_.isOwnProgram(target)) {
      const std::u16string retired = RetiredName(target);
      if (!folder_.remove(retired) || !move(target, retired)) return false;
    }
    return move(from, target);
  }

  bool removeOrRetire(const std::u16string& target) {
    if (!folder_.isOwnProgram(target)) return folder_.remove(target);
    const std::u16string retired = RetiredName(target);
    return folder_.remove(retired) && move(target, retired);
  }

  bool move(std::u16string_view from, std::u16string_view to) {
    const bool ownProgram = folder_.isOwnProgram(from);
    if (!folder_.move(from, to)) return false;
    restartProgram_ = restartProgram_ || ownProgram;
    return true;
  }

  bool removeSoon(const std::u16string& name, bool programEnding) {
    if (!exists(name)) return true;
    // This process's own file cannot go before the process does: the next start removes it.
    if (folder_.isOwnProgram(name)) return false;
    for (int attempt = 1;; ++attempt) {
      if (folder_.remove(name)) return true;
      if (!programEnding || attempt == kRemoveAttempts) return false;
      folder_.pause();
    }
  }

  Folder& folder_;
  bool restartProgram_ = false;
};

Journal StagingJournal(Folder& folder, const std::vector<std::u16string>& targets) {
  Journal journal;
  for (const std::u16string& target : targets)
    journal.entries.push_back({target, StagingName(target), SetAsideName(target), folder.length(target).has_value(), {}});
  return journal;
}

}  // namespace

bool BeginStaging(Folder& folder, const std::vector<std::u16string>& targets) {
  // A journal still there is an earlier update that could not be finished: it comes first.
  if (folder.length(kJournalName)) return false;
  // Without a journal, a file under one of the update's names is a leftover of nothing: it must not be
  // taken for this update's own.
  for (const std::u16string& target : targets) {
    for (const std::u16string& name : {StagingName(target), SetAsideName(target), RetiredName(target)})
      if (!folder.remove(name)) return false;
  }
  // Written in place: no file is staged before it is whole, so a journal torn by a kill here names
  // nothing that exists, and the next start just removes it.
  if (folder.write(kJournalName, FormatJournal(StagingJournal(folder, targets)))) return true;
  folder.remove(kJournalName);
  return false;
}

Outcome AbandonStaging(Folder& folder, const std::vector<std::u16string>& targets) {
  return Run(folder).finish(StagingJournal(folder, targets), Outcome::RolledBack);
}

Result InstallStaged(Folder& folder, const std::vector<StagedFile>& files) {
  Run run(folder);
  Journal journal;
  journal.direction = Direction::Forward;
  bool complete = !files.empty();
  for (const StagedFile& file : files) {
    const std::u16string staging = StagingName(file.target);
    complete = complete && folder.length(staging) == file.length;
    journal.entries.push_back(
        {file.target, staging, SetAsideName(file.target), folder.length(file.target).has_value(), file.length});
  }
  if (!complete || !run.writeJournal(journal)) {
    // Nothing has been moved: going back only removes the staged files.
    journal.direction = Direction::Back;
    for (JournalEntry& entry : journal.entries) entry.stagedLength.reset();
    return {run.finish(journal, Outcome::RolledBack), run.restartProgram()};
  }
  return run.goForward(journal);
}

Result Recover(Folder& folder) {
  Run run(folder);
  const auto bytes = folder.read(kJournalName);
  if (!bytes) return {run.exists(kJournalName) ? Outcome::Unfinished : Outcome::RolledBack, false};
  const Journal journal = ParseJournal(*bytes);
  if (journal.direction == Direction::Back) return {run.finish(journal, Outcome::RolledBack), run.restartProgram()};
  if (!run.canGoForward(journal)) return {run.turnBack(journal), run.restartProgram()};
  return run.goForward(journal);
}

}  // namespace stickwell::install
