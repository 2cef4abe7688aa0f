#include "note/win/NoteStore.h"

#include <windows.h>

#include "note/core/NoteRecord.h"
#include "note/core/SavingFiles.h"
#include "shared/FolderPath.h"
#include "shared/win/AnsiCodePage.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/WideText.h"

namespace stickwell::note {
namespace {

// More notes than anyone starts in one second; the bound only ends the search in a folder where
// every name fails for some other reason.
constexpr int kMaximumCopies = 1000;

class SystemCodePage : public AnsiEncoder {
 public:
  std::optional<std::string> encode(std::u16string_view text) const override {
    win::AnsiText ansi = win::ToAnsi(win::Wide(text));
    if (!ansi.representable) return std::nullopt;
    return std::move(ansi.bytes);
  }
};

std::string FileBytes(std::wstring_view title, std::wstring_view body) {
  return NoteFileBytes(NoteRecordText(win::U16(title), win::U16(body)), SystemCodePage());
}

}  // namespace

const std::wstring& TempSuffix() {
  static const std::wstring suffix = win::Wide(SavingSuffix(::GetCurrentProcessId()));
  return suffix;
}

void NoteStore::claim(const std::wstring& folder, const ClockReading& started) {
  folder_ = folder;
  // Creating the file is the claim: only one process can create a name. A crash right after it
  // leaves at worst an empty file, when the note holds nothing yet.
  const std::string empty = FileBytes(L"", L"");
  for (int copy = 1; copy <= kMaximumCopies + 1; ++copy) {
    fileName_ = win::Wide(NoteFileName(started, copy));
    path_ = win::Wide(JoinFolderPath(win::U16(folder_), win::U16(fileName_)));
    if (win::CreateNewFile(path_, empty)) {
      written_ = WrittenNote{u"", u"", stamp()};
      return;
    }
    // Another note has the name: try the next copy. Any other failure (a folder that cannot be
    // written) would fail for every copy; the name stays, and saves try it again.
    if (!win::FileExists(path_)) return;
  }
}

bool NoteStore::save(std::wstring_view title, std::wstring_view body) {
  if (!win::ReplaceFileContents(path_, FileBytes(title, body), TempSuffix())) return false;
  written_ = WrittenNote{win::U16(title), win::U16(body), stamp()};
  return true;
}

bool NoteStore::saveIfChanged(std::wstring_view title, std::wstring_view body) {
  if (!NeedsWrite(written_, win::U16(title), win::U16(body), stamp())) return true;
  return save(title, body);
}

FileStamp NoteStore::stamp() const {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data)) return {};
  const auto join = [](DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; };
  return {true, join(data.nFileSizeHigh, data.nFileSizeLow),
          join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

void NoteStore::remove() const { win::RemoveFile(path_); }

}  // namespace stickwell::note
