#include "note/win/NoteStore.h"

#include <windows.h>

#include "note/core/NoteRecord.h"
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

std::wstring TempSuffix() { return L"." + std::to_wstring(::GetCurrentProcessId()) + L".saving"; }

void NoteStore::claim(const std::wstring& folder, const ClockReading& started) {
  folder_ = folder;
  // Creating the file is the claim: only one process can create a name. A crash right after it
  // leaves at worst an empty file, when the note holds nothing yet.
  const std::string empty = FileBytes(L"", L"");
  for (int copy = 1; copy <= kMaximumCopies + 1; ++copy) {
    fileName_ = win::Wide(NoteFileName(started, copy));
    const std::wstring path = this->path();
    if (win::CreateNewFile(path, empty)) return;
    // Another note has the name: try the next copy. Any other failure (a folder that cannot be
    // written) would fail for every copy; the name stays, and saves try it again.
    if (!win::FileExists(path)) return;
  }
}

std::wstring NoteStore::path() const { return win::Wide(JoinFolderPath(win::U16(folder_), win::U16(fileName_))); }

bool NoteStore::save(std::wstring_view title, std::wstring_view body) const {
  return win::ReplaceFileContents(path(), FileBytes(title, body), TempSuffix());
}

void NoteStore::remove() const { win::RemoveFile(path()); }

}  // namespace stickwell::note
