#include "note/win/SavingFileSweep.h"

#include <windows.h>

#include "note/core/SavingFiles.h"
#include "shared/FolderPath.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/WideText.h"
#include "shared/win/WinHandles.h"

namespace stickwell::note {
namespace {

bool ProcessRuns(DWORD id) {
  win::UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
  // A process that exists but may not be opened is still running.
  if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;
  return ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

std::int64_t AgeMs(const FILETIME& written) {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& t) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (ticks(now) - ticks(written)) / 10'000;  // file times count 100 ns
}

// A directory search, closed when it goes.
class Search {
 public:
  Search(const std::wstring& pattern, WIN32_FIND_DATAW& found)
      : handle_(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0)) {}
  ~Search() {
    if (handle_ != INVALID_HANDLE_VALUE) ::FindClose(handle_);
  }
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;

  bool found() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool next(WIN32_FIND_DATAW& found) { return ::FindNextFileW(handle_, &found) != FALSE; }

 private:
  HANDLE handle_;
};

}  // namespace

void SweepSavingFiles(const std::wstring& folder) {
  const std::u16string folderPath = win::U16(folder);
  WIN32_FIND_DATAW found;
  const std::wstring pattern = win::Wide(LongPathForm(JoinFolderPath(folderPath, u"*.saving")));
  Search search(pattern, found);
  if (!search.found()) {
    if (::GetLastError() != ERROR_FILE_NOT_FOUND) win::TraceLastError({L"FindFirstFileExW ", pattern});
    return;
  }
  const DWORD self = ::GetCurrentProcessId();
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::optional<std::uint32_t> writer = SavingFileWriter(win::U16(found.cFileName));
    if (!writer || !IsLeftBehind(*writer == self, ProcessRuns(*writer), AgeMs(found.ftLastWriteTime))) continue;
    win::RemoveFile(win::Wide(LongPathForm(JoinFolderPath(folderPath, win::U16(found.cFileName)))));
  } while (search.next(found));
}

}  // namespace stickwell::note
