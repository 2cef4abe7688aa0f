#include "updater/core/UpdateRun.h"

#include "shared/InstallNames.h"
#include "updater/core/Countdown.h"

namespace stickwell::updater {
namespace {

// A program file: the note's, the updater's, or any other a page lists.
bool IsProgramFile(std::u16string_view name) {
  return name.size() > 4 && install::SameFileName(name.substr(name.size() - 4), u".exe");
}

Step Do(Action action, std::u16string address = {}) {
  Step step;
  step.action = action;
  step.address = std::move(address);
  return step;
}

}  // namespace

Step UpdateRun::opened(bool noteWindowOpen) {
  if (phase_ != Phase::Opening) return {};
  // The note program must not run while its files are replaced.
  if (noteWindowOpen) {
    phase_ = Phase::Ended;
    return Do(Action::RefuseWhileNoteRuns);
  }
  phase_ = Phase::ReadingPage;
  return Do(Action::FetchPage);
}

Step UpdateRun::pageRead(const std::optional<std::u16string>& page) {
  if (phase_ != Phase::ReadingPage) return {};
  auto entries = page ? page::ReadDownloadList(*page) : std::nullopt;
  if (!entries || entries->empty()) return fail();
  auto trust = trust_(*page, page::ReadPageVersion(*page).value_or(u""));
  if (!trust.ok()) return fail();
  manifest_ = std::move(trust.manifest);
  // A download list that is not the signed one fails before anything is fetched for it.
  if (manifest_) {
    std::vector<std::u16string> names;
    for (const page::DownloadEntry& entry : *entries) names.push_back(page::ReadEntryFileName(entry.entryText).value_or(u""));
    if (!manifest::ListsSameNames(*manifest_, names)) return fail();
  }
  entries_ = std::move(*entries);
  phase_ = Phase::ReadingSharePages;
  return Do(Action::FetchSharePage, entries_.front().shareAddress);
}

Step UpdateRun::sharePageRead(const std::optional<std::u16string>& page) {
  if (phase_ != Phase::ReadingSharePages) return {};
  auto direct = page ? page::ReadDirectAddress(*page) : std::nullopt;
  if (!direct) return fail();
  directAddresses_.push_back(std::move(*direct));
  if (directAddresses_.size() < entries_.size())
    return Do(Action::FetchSharePage, entries_[directAddresses_.size()].shareAddress);

  auto plan = PlanDownloads(entries_, directAddresses_);
  if (!plan) return fail();
  plan_ = std::move(*plan);
  phase_ = Phase::Staging;
  Step step = Do(Action::BeginStaging);
  for (const PlannedDownload& download : plan_) step.targets.push_back(download.fileName);
  return step;
}

Step UpdateRun::stagingBegun(bool ok) {
  if (phase_ != Phase::Staging) return {};
  if (!ok) {
    phase_ = Phase::Ended;
    return Do(Action::Fail);  // no journal, so nothing may have been staged: nothing to remove
  }
  phase_ = Phase::Downloading;
  return downloadCurrent();
}

Step UpdateRun::downloadCurrent() const {
  const PlannedDownload& download = plan_[staged_.size()];
  Step step = Do(Action::Download, download.address);
  step.file = install::StagingName(download.fileName);
  step.status = download.status;
  step.hash = manifest_.has_value();
  step.checkImage = !manifest_ && IsProgramFile(download.fileName);
  return step;
}

Step UpdateRun::fileDownloaded(const DownloadFacts& facts) {
  if (phase_ != Phase::Downloading) return {};
  // Complete means the body came to its end with exactly the length it announced (a body may end
  // early when the connection breaks); without a length, its end is all there is to go by, which is
  // not enough for a program: a connection that breaks looks the same.
  bool complete = facts.bodyEnded && (!facts.announcedLength || facts.received == *facts.announcedLength);
  const PlannedDownload& download = plan_[staged_.size()];
  if (manifest_) {
    const manifest::FileEntry* listed = manifest::FindFile(*manifest_, download.pageName);
    complete = complete && listed && facts.received == listed->length && facts.sha256 == listed->sha256;
  } else if (IsProgramFile(download.fileName)) {
    complete = complete && facts.announcedLength && facts.wholeImage;
  }
  if (!complete) return fail();
  staged_.push_back({download.fileName, facts.received});
  if (staged_.size() < plan_.size()) return downloadCurrent();
  phase_ = Phase::Installing;
  Step step = Do(Action::Install);
  step.staged = staged_;
  return step;
}

Step UpdateRun::noteOpenedBeforeInstall() {
  if (phase_ != Phase::Installing) return {};
  Step step = Do(Action::RefuseWhileNoteRuns);
  step.targets = plannedTargets();
  phase_ = Phase::Ended;
  return step;
}

Step UpdateRun::installed(install::Outcome outcome) {
  if (phase_ != Phase::Installing) return {};
  if (outcome != install::Outcome::Installed) {
    // The install has already put the folder back (or left the rest to the next start): nothing to remove.
    phase_ = Phase::Ended;
    return Do(Action::Fail);
  }
  phase_ = Phase::CountingDown;
  Step step = Do(Action::ShowCountdown);
  step.status = CountdownText(kCountdownSeconds);
  return step;
}

Step UpdateRun::countdownTick() {
  if (phase_ != Phase::CountingDown) return {};
  const CountdownStep tick = AdvanceCountdown(countdownTicks_);
  if (tick.finished) {
    phase_ = Phase::Ended;
    return Do(Action::StartNote);
  }
  Step step = Do(Action::ShowCountdown);
  step.status = tick.status;
  return step;
}

Step UpdateRun::closed() {
  switch (phase_) {
    case Phase::Opening:
    case Phase::ReadingPage:
    case Phase::ReadingSharePages:
    case Phase::Staging:
    case Phase::Downloading: {
      Step step = Do(Action::Abandon);
      step.targets = stagedTargets();
      phase_ = Phase::Ended;
      return step;
    }
    case Phase::Installing:
    case Phase::CountingDown:
    case Phase::Ended:
      break;
  }
  phase_ = Phase::Ended;
  return {};
}

Step UpdateRun::fail() {
  Step step = Do(Action::Fail);
  step.targets = stagedTargets();
  phase_ = Phase::Ended;
  return step;
}

// The staging journal exists from BeginStaging's answer on: from then, every planned file may have a
// staged file.
std::vector<std::u16string> UpdateRun::stagedTargets() const {
  return phase_ == Phase::Downloading ? plannedTargets() : std::vector<std::u16string>{};
}

std::vector<std::u16string> UpdateRun::plannedTargets() const {
  std::vector<std::u16string> targets;
  for (const PlannedDownload& download : plan_) targets.push_back(download.fileName);
  return targets;
}

}  // namespace stickwell::updater
