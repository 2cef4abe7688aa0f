#include "note/core/UpdateCheckTicks.h"

#include "shared/UpdatePage.h"

namespace stickwell::note {

std::optional<CheckFinding> FindUpdate(bool connected, const std::optional<std::u16string>& page,
                                       std::u16string_view ownVersion) {
  if (!connected) return CheckFinding{};
  if (!page) return std::nullopt;
  auto version = page::ReadPageVersion(*page);
  if (!version) return std::nullopt;
  const auto kind = page::IsNewerVersion(*version, ownVersion) ? CheckFinding::Kind::NewVersion
                                                                : CheckFinding::Kind::UpToDate;
  return CheckFinding{kind, std::move(*version)};
}

std::u16string NewVersionQuestion(std::u16string_view pageVersion) {
  return u"发现新版本 Ver：" + std::u16string(pageVersion) + u" 是否需要更新？";
}

CheckStep UpdateCheckTicks::tick() {
  if (finished_) return {value_, std::nullopt, false, false};
  if (value_ < kLastValue) ++value_;

  CheckStep step{value_, std::nullopt, false, false};
  std::u16string_view status = status_;
  if (value_ >= kReadingVersionValue) status = kReadingVersionText;
  if (value_ >= kOutcomeValue) {
    switch (finding_.kind) {
      case CheckFinding::Kind::NewVersion:
        step.ask = true;
        break;
      case CheckFinding::Kind::UpToDate:
        status = kUpToDateText;
        step.close = value_ >= kLastValue;
        break;
      case CheckFinding::Kind::NotConnected:
        status = kNoConnectionText;
        step.close = value_ >= kLastValue;
        break;
    }
  }
  if (status != status_) {
    status_ = status;
    step.status = status_;
  }
  finished_ = step.ask || step.close;
  return step;
}

}  // namespace stickwell::note
