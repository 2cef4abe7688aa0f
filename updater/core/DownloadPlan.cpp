#include "updater/core/DownloadPlan.h"

#include <algorithm>

#include "shared/InstallNames.h"

namespace stickwell::updater {
namespace {

using install::SameFileName;  // address schemes compare the same way

}  // namespace

bool IsWebAddress(std::u16string_view address) {
  const auto startsWith = [address](std::u16string_view scheme) {
    return address.size() > scheme.size() && SameFileName(address.substr(0, scheme.size()), scheme);
  };
  return startsWith(u"http://") || startsWith(u"https://");
}

std::u16string TargetFileName(std::u16string_view entryName) {
  if (SameFileName(entryName, kUpdaterFile)) return kNewUpdaterFile;
  return std::u16string(entryName);
}

std::u16string DownloadingStatus(std::u16string_view fileName) { return u"正在下载 " + std::u16string(fileName); }

std::optional<std::vector<PlannedDownload>> PlanDownloads(const std::vector<page::DownloadEntry>& entries,
                                                          const std::vector<std::u16string>& directAddresses) {
  if (entries.empty() || entries.size() != directAddresses.size()) return std::nullopt;
  std::vector<PlannedDownload> plan;
  plan.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto name = page::ReadEntryFileName(entries[i].entryText);
    if (!name || !IsWebAddress(directAddresses[i])) return std::nullopt;
    const std::u16string target = TargetFileName(*name);
    if (install::IsInstallName(target)) return std::nullopt;
    for (const PlannedDownload& earlier : plan)
      if (SameFileName(earlier.fileName, target)) return std::nullopt;
    plan.push_back({*name, target, directAddresses[i], DownloadingStatus(target)});
  }
  return plan;
}

}  // namespace stickwell::updater
