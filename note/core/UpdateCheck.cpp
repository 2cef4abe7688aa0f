#include "note/core/UpdateCheck.h"

#include "shared/UpdatePage.h"

namespace stickwell::note {
namespace {

constexpr int kReadingVersionValue = 10;  // the status line reads the version from here on
constexpr int kOutcomeValue = 90;         // the outcome shows from here on

CheckStep Act(CheckStep::Action action, std::u16string text = {}) {
  CheckStep step;
  step.action = action;
  step.text = std::move(text);
  return step;
}

}  // namespace

std::optional<CheckFinding> FindUpdate(PageAnswer answer, std::u16string_view page, std::u16string_view ownVersion,
                                       const PageVerifier& verify) {
  if (answer == PageAnswer::NotConnected) return CheckFinding{};
  if (answer != PageAnswer::Arrived) return std::nullopt;
  std::optional<std::u16string> version = page::ReadPageVersion(page);
  if (!version) return std::nullopt;
  if (!page::IsNewerVersion(*version, ownVersion)) return CheckFinding{CheckFinding::Kind::UpToDate, std::move(*version)};
  if (!verify || !verify(page, *version)) return std::nullopt;
  return CheckFinding{CheckFinding::Kind::NewVersion, std::move(*version)};
}

std::u16string NewVersionQuestion(std::u16string_view pageVersion) {
  return u"发现新版本 Ver：" + std::u16string(pageVersion) + u" 是否需要更新？";
}

CheckStep UpdateCheck::pageArrived(std::optional<CheckFinding> finding) {
  if (stage_ != Stage::Reading) return {};
  if (!finding) {
    stage_ = Stage::Done;
    return Act(CheckStep::Action::Close);
  }
  finding_ = std::move(*finding);
  stage_ = Stage::Counting;
  return Act(CheckStep::Action::StartBar);
}

CheckStep UpdateCheck::tick() {
  if (stage_ != Stage::Counting) return {};
  if (value_ < kLastBarValue) ++value_;
  CheckStep step;
  step.bar = value_;
  std::u16string_view status = status_;
  if (value_ >= kReadingVersionValue) status = kReadingVersionText;
  if (value_ >= kOutcomeValue) {
    using Kind = CheckFinding::Kind;
    if (finding_.kind == Kind::NewVersion) {
      step.action = CheckStep::Action::AskToUpdate;
      step.text = NewVersionQuestion(finding_.pageVersion);
      stage_ = Stage::Asking;
    } else {
      status = finding_.kind == Kind::UpToDate ? kUpToDateText : kNoConnectionText;
      if (value_ >= kLastBarValue) {
        step.action = CheckStep::Action::Close;
        stage_ = Stage::Done;
      }
    }
  }
  if (status != status_) {
    status_ = status;
    step.status = status_;
  }
  return step;
}

CheckStep UpdateCheck::answered(bool ok, bool updaterExists) {
  if (stage_ != Stage::Asking) return {};
  if (ok && updaterExists) {
    stage_ = Stage::HandingOver;
    return Act(CheckStep::Action::LaunchUpdater);
  }
  if (ok) return askUpdaterMissing();
  stage_ = Stage::Done;
  return Act(CheckStep::Action::Close);
}

CheckStep UpdateCheck::launched(bool saved, bool started) {
  if (stage_ != Stage::HandingOver) return {};
  if (!started) return askUpdaterMissing();
  stage_ = Stage::Done;
  return Act(saved ? CheckStep::Action::EndProgram : CheckStep::Action::Close);
}

CheckStep UpdateCheck::updaterMissingAnswered(bool yes) {
  if (stage_ != Stage::AskingUpdaterMissing) return {};
  stage_ = Stage::Done;
  return Act(yes ? CheckStep::Action::OpenSiteAndClose : CheckStep::Action::Close);
}

CheckStep UpdateCheck::askUpdaterMissing() {
  stage_ = Stage::AskingUpdaterMissing;
  return Act(CheckStep::Action::AskUpdaterMissing, std::u16string(kUpdaterMissingQuestion));
}

}  // namespace stickwell::note
