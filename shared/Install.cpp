#include "shared/Install.h"

#include <algorithm>

#include "shared/InstallJournal.h"
#include "shared/InstallNames.h"

namespace stickwell::install {
namespace {

// About two seconds in all for one step on a held file, a pause being a tenth of a second: a scanner
// lets go of a new file within a few hundred milliseconds, and a program that has just been told to
// end lets go of its own file within a second.
constexpr int kHeldPauses = 20;

class Run {
 public:
  explicit Run(Folder& folder) : folder_(folder) {}

  bool exists(std::u16string_view name) { return folder_.length(name).has_value(); }

  // No journal, or one whose every file is in place (`journal`, whose left-overs may still be there):
  // nothing of an earlier install is still to be decided.
  bool nothingPending(Journal& journal) {
    if (!exists(kJournalName)) return true;
    const auto bytes = folder_.read(kJournalName);
    journal = ParseJournal(bytes.value_or(""));
    return bytes && journal.known && journal.direction == Direction::Installed;
  }

  // A new journal never replaces the old one half-written. Whoever finishes the job removes a
  // temporary file that is left.
  bool writeJournal(const Journal& journal) {
    const std::string bytes = FormatJournal(journal);
    return retried([&] { return folder_.write(kJournalTempName, bytes); }) && move(kJournalTempName, kJournalName);
  }

  // Every file can still be put in place: each staged file is complete, or it has been moved in (going
  // forward never removes a staged file but by moving it in).
  bool canGoForward(const Journal& journal) {
    if (!journal.whole || journal.direction != Direction::Forward || journal.entries.empty()) return false;
    for (const JournalEntry& entry : journal.entries) {
      if (!entry.stagedLength) return false;
      const auto staged = folder_.length(entry.staging);
      if (staged && staged != entry.stagedLength) return false;
    }
    return true;
  }

  // The running program's file is still to be replaced: Windows would not let it be, and renaming it
  // out of the way would leave its name empty until the new file moves in.
  bool replacesOwnProgram(const Journal& journal) {
    return std::any_of(journal.entries.begin(), journal.entries.end(), [&](const JournalEntry& entry) {
      return exists(entry.staging) && folder_.isOwnProgram(entry.target);
    });
  }

  bool forward(const Journal& journal) {
    // Every target is made replaceable first: one that cannot be (a running program's, a read-only file
    // that stays so) stops the install before anything has moved.
    for (const JournalEntry& entry : journal.entries) {
      if (exists(entry.staging) && exists(entry.target) &&
          (folder_.isOwnProgram(entry.target) || !retried([&] { return folder_.makeReplaceable(entry.target); })))
        return false;
    }
    for (const JournalEntry& entry : journal.entries) {
      if (!exists(entry.staging)) continue;  // in place already
      // With its staged file still there, the target holds its old bytes: a set-aside file from an
      // earlier attempt that is not the same file may be a copy cut short, so it is made anew.
      if (exists(entry.target)) {
        const bool keptAlready = exists(entry.setAside) && folder_.sameFile(entry.setAside, entry.target);
        if (!keptAlready && (!remove(entry.setAside) || !setAside(entry))) return false;
      }
      if (!move(entry.staging, entry.target)) return false;
    }
    return true;
  }

  bool back(const Journal& journal) {
    bool restored = true;
    for (const JournalEntry& entry : journal.entries) restored = restore(entry) && restored;
    return restored;
  }

  // Set-aside files, staged files and the retired files of earlier versions: none is needed any more.
  // The journal goes last, once nothing it names is left.
  Outcome cleanUp(const Journal& journal, Outcome done) {
    bool clean = true;
    for (const JournalEntry& entry : journal.entries) {
      for (const std::u16string& name : {entry.setAside, entry.staging, RetiredName(entry.target)})
        clean = remove(name) && clean;
    }
    clean = remove(kJournalTempName) && clean;
    return clean && remove(kJournalName) ? done : Outcome::Unfinished;
  }

  Outcome goBack(const Journal& journal) { return back(journal) ? cleanUp(journal, Outcome::RolledBack) : Outcome::Unfinished; }

  // Every file is in place: from here on the update is done, whatever is left to remove.
  Outcome installed(Journal journal) {
    journal.direction = Direction::Installed;
    writeJournal(journal);  // failing, it stays "forward", which finds every file in place again
    cleanUp(journal, Outcome::Installed);
    return Outcome::Installed;
  }

  Outcome goForward(const Journal& journal) { return forward(journal) ? installed(journal) : turnBack(journal); }

  // After a failed step going forward: the journal says "back" before the first step back, so that a
  // kill on the way back never leads the next start forward over a file already restored.
  Outcome turnBack(Journal journal) {
    journal.direction = Direction::Back;
    if (!writeJournal(journal)) return Outcome::Unfinished;
    return goBack(journal);
  }

  bool move(std::u16string_view from, std::u16string_view to) {
    // The running program's own file cannot be replaced; trying would only wait out the pauses.
    if (exists(to) && folder_.isOwnProgram(to)) return false;
    return retried([&] { return folder_.move(from, to); });
  }

  bool remove(std::u16string_view name) {
    if (!exists(name)) return true;
    // This process's own file cannot go before the process does: a later start removes it.
    if (folder_.isOwnProgram(name)) return false;
    return retried([&] { return folder_.remove(name); });
  }

 private:
  template <class Step>
  bool retried(Step step) {
    for (int pauses = 0;; ++pauses) {
      const Answer answer = step();
      if (answer == Answer::Done) return true;
      if (answer == Answer::Failed || pauses == kHeldPauses) return false;
      folder_.pause();
    }
  }

  // The old file keeps a second name before the new one takes its place; without hard links the
  // second name gets a copy, on disk before the move that needs it. The note's program always gets a
  // copy: a note that starts meanwhile would hold every name of its file, and a second name it holds
  // could be removed by nobody while any note runs.
  bool setAside(const JournalEntry& entry) {
    if (SameFileName(entry.target, kNoteProgram)) return retried([&] { return folder_.copy(entry.target, entry.setAside); });
    for (int pauses = 0;; ++pauses) {
      switch (folder_.link(entry.target, entry.setAside)) {
        case Folder::Link::Made:
          return true;
        case Folder::Link::Unsupported:
          return retried([&] { return folder_.copy(entry.target, entry.setAside); });
        case Folder::Link::Held:
          if (pauses == kHeldPauses) return false;
          folder_.pause();
          break;
        case Folder::Link::Failed:
          return false;
      }
    }
  }

  bool restore(const JournalEntry& entry) {
    const bool staged = exists(entry.staging);
    if (exists(entry.setAside)) {
      // With its staged file still there, or set aside by a link and never replaced, the target holds
      // its old bytes already. (Renaming one name of a file onto another would leave both: POSIX, and so
      // Wine, does nothing for that rename.)
      if (exists(entry.target) && (staged || folder_.sameFile(entry.setAside, entry.target))) {
        if (!remove(entry.setAside)) return false;
      } else if (!move(entry.setAside, entry.target)) {
        return false;
      }
    } else if (!entry.targetExisted && entry.stagedLength && !staged) {
      // A file that is new with this update and has been moved in.
      if (!remove(entry.target)) return false;
    }
    return remove(entry.staging);
  }

  Folder& folder_;
};

Journal StagingJournal(Folder& folder, const std::vector<std::u16string>& targets) {
  Journal journal;
  for (const std::u16string& target : targets)
    journal.entries.push_back({target, StagingName(target), SetAsideName(target), folder.length(target).has_value(), {}});
  return journal;
}

}  // namespace

bool BeginStaging(Folder& folder, const std::vector<std::u16string>& targets) {
  Run run(folder);
  // A journal still there is an earlier update that could not be finished: it comes first. One that
  // only had left-overs to remove is done with; what it could not remove does no harm.
  Journal earlier;
  if (!run.nothingPending(earlier)) return false;
  run.cleanUp(earlier, Outcome::Installed);
  // Without a journal, a file under one of the update's names is a leftover of nothing: it must not be
  // taken for this update's own.
  for (const std::u16string& target : targets) {
    for (const std::u16string& name : {StagingName(target), SetAsideName(target), RetiredName(target)})
      if (!run.remove(name)) return false;
  }
  // Written in place: no file is staged before it is whole, so a journal torn by a kill here names
  // nothing that exists, and the next start just removes it.
  if (folder.write(kJournalName, FormatJournal(StagingJournal(folder, targets))) == Answer::Done) return true;
  run.remove(kJournalName);
  return false;
}

Outcome AbandonStaging(Folder& folder, const std::vector<std::u16string>& targets) {
  return Run(folder).goBack(StagingJournal(folder, targets));
}

Outcome InstallStaged(Folder& folder, const std::vector<StagedFile>& files) {
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
  std::stable_partition(journal.entries.begin(), journal.entries.end(),
                        [](const JournalEntry& entry) { return !SameFileName(entry.target, kNoteProgram); });
  if (!complete || !run.writeJournal(journal)) {
    // Nothing has been moved: going back only removes the staged files.
    journal.direction = Direction::Back;
    for (JournalEntry& entry : journal.entries) entry.stagedLength.reset();
    return run.goBack(journal);
  }
  return run.goForward(journal);
}

Outcome Recover(Folder& folder) {
  Run run(folder);
  const auto bytes = folder.read(kJournalName);
  if (!bytes) return run.exists(kJournalName) ? Outcome::Unfinished : Outcome::RolledBack;
  const Journal journal = ParseJournal(*bytes);
  if (!journal.known) return Outcome::LeftAlone;
  switch (journal.direction) {
    case Direction::Installed:
      return run.cleanUp(journal, Outcome::Installed);
    case Direction::Back:
      return run.goBack(journal);
    case Direction::Forward:
      break;
  }
  if (!run.canGoForward(journal) || run.replacesOwnProgram(journal)) return run.turnBack(journal);
  return run.goForward(journal);
}

bool HandOffUpdater(Folder& folder) {
  Run run(folder);
  // The new copy may still be taken back, or be half-way through being replaced by another update.
  Journal journal;
  return run.nothingPending(journal) && run.exists(kNewUpdaterProgram) && run.exists(kUpdaterProgram) &&
         run.move(kNewUpdaterProgram, kUpdaterProgram);
}

}  // namespace stickwell::install
