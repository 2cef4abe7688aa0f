#pragma once
// Which files the download window fetches, under which names, and what its status line says.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/InstallNames.h"
#include "shared/UpdatePage.h"

namespace stickwell::updater {

struct PlannedDownload {
  std::u16string pageName;  // the name the page lists it under
  std::u16string fileName;  // the name written in the program folder
  std::u16string address;   // the direct download address
  std::u16string status;    // the status line while it downloads
  friend bool operator==(const PlannedDownload&, const PlannedDownload&) = default;
};

// The running updater cannot overwrite its own executable: its new copy is written under this name
// and put in place by the note program once the updater has closed.
inline constexpr const auto& kUpdaterFile = install::kUpdaterProgram;
inline constexpr const auto& kNewUpdaterFile = install::kNewUpdaterProgram;

// The name a downloaded file is written under: the updater's own file becomes "NewRenewick.exe"
// wherever it stands in the list (file names compare without regard to case, as the file system does).
std::u16string TargetFileName(std::u16string_view entryName);

// "正在下载 " and the name.
std::u16string DownloadingStatus(std::u16string_view fileName);

// Whether a direct address is one the updater fetches: http or https, nothing else (a share page that
// was tampered with could name a local file).
bool IsWebAddress(std::u16string_view address);

// One download per entry, in page order. Fails when the list is empty, when the addresses do not match
// the entries one to one, when any entry's file name cannot be read or any address is not a web
// address, when two entries would be written under one name (their staged files would be one), or when
// a name is one the install itself uses: then nothing is downloaded.
std::optional<std::vector<PlannedDownload>> PlanDownloads(const std::vector<page::DownloadEntry>& entries,
                                                          const std::vector<std::u16string>& directAddresses);

}  // namespace stickwell::updater
