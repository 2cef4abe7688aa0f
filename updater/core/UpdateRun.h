#pragma once
// The download window's whole run as a sequence of steps: it is told what happened and answers what to
// do next. The window only carries the steps out.
//
//   opened ─ a note window is open ──────────────────────────────> RefuseWhileNoteRuns
//     └─> FetchPage ─> FetchSharePage 1..n ─> BeginStaging ─> Download 1..n ─> Install
//           ─> ShowCountdown 5, 4, 3, 2, 1 ─> StartNote
// Any failure on the way: Fail (the staged files go, the failure question). The window closed before
// the install: Abandon (the staged files go, no question).
//
// With the makers' key built in, the page must carry a signed list that verifies and names the page's
// version, its download list must name exactly the signed files, and every file must have the signed
// length and SHA-256; anything else is a failure, before the first download or before the install.
// Without a key, a program file (".exe") must have come with its length announced, and be a whole
// program image (shared/PeImage.h): half a program moved in would leave a note that cannot start.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shared/Install.h"
#include "shared/UpdatePage.h"
#include "updater/core/DownloadPlan.h"
#include "updater/core/TrustCheck.h"

namespace stickwell::updater {

enum class Action {
  None,                 // wait for the next event
  RefuseWhileNoteRuns,  // "发现原程序正在运行,请关闭原程序后再点击更新.", then end; the staged files of
                        // `targets` are removed
  FetchPage,            // fetch the update page again (no connection check)
  FetchSharePage,       // fetch `address`
  BeginStaging,         // write the journal that names the staged files of `targets`
  Download,             // download `address` into the staging file `file`, its SHA-256 taken when `hash`,
                        // checked for a whole program image when `checkImage`; the status line reads `status`
  Install,              // right after a last look for a note window: put every file of `staged` in place,
                        // all or none
  ShowCountdown,        // the status line reads `status`; tick again in a second
  StartNote,            // close the window, then start the note
  Fail,                 // remove the staged files of `targets`, ask "更新失败，是否去官网下载最新版本", end
  Abandon,              // remove the staged files of `targets`, end without a word
};

struct Step {
  Action action = Action::None;
  std::u16string address;
  std::u16string file;
  std::u16string status;
  bool hash = false;
  bool checkImage = false;
  std::vector<std::u16string> targets;        // the targets whose staged files may exist
  std::vector<install::StagedFile> staged;
};

// What a finished download tells the run.
struct DownloadFacts {
  bool bodyEnded = false;  // the transfer came to its end and every byte is on disk
  std::uint64_t received = 0;
  std::optional<std::uint64_t> announcedLength;
  std::optional<manifest::Sha256Digest> sha256 = std::nullopt;  // when it was asked for
  bool wholeImage = false;  // when it was asked for: the file is a whole program image
};

class UpdateRun {
 public:
  explicit UpdateRun(TrustCheck trust) : trust_(std::move(trust)) {}

  Step opened(bool noteWindowOpen);
  // nullopt: the page could not be fetched.
  Step pageRead(const std::optional<std::u16string>& page);
  Step sharePageRead(const std::optional<std::u16string>& page);
  Step stagingBegun(bool ok);
  Step fileDownloaded(const DownloadFacts& facts);
  // A note window was found right before the install: a note started while the files downloaded.
  Step noteOpenedBeforeInstall();
  Step installed(install::Outcome outcome);
  Step countdownTick();
  Step closed();

 private:
  enum class Phase { Opening, ReadingPage, ReadingSharePages, Staging, Downloading, Installing, CountingDown, Ended };

  Step downloadCurrent() const;
  Step fail();
  std::vector<std::u16string> stagedTargets() const;
  std::vector<std::u16string> plannedTargets() const;

  TrustCheck trust_;
  std::optional<manifest::Manifest> manifest_;  // the page's verified signed list, with a key built in
  Phase phase_ = Phase::Opening;
  std::vector<page::DownloadEntry> entries_;
  std::vector<std::u16string> directAddresses_;
  std::vector<PlannedDownload> plan_;
  std::vector<install::StagedFile> staged_;
  int countdownTicks_ = 0;
};

}  // namespace stickwell::updater
