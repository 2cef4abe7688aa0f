#include "note/win/NoteStore.h"

#include <windows.h>

#include "note/core/NoteFileClaim.h"
#include "note/core/NoteRecord.h"
#include "note/core/SavingFiles.h"
#include "note/win/UserNoteFolder.h"
#include "shared/FolderPath.h"
#include "shared/win/AnsiCodePage.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/HeldFile.h"
#include "shared/win/WideText.h"

namespace stickwell::note {
namespace {

constexpr DWORD kRemoveBudgetMs = 1000;

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

void NoteStore::claim(const std::wstring& programFolder, const ClockReading& started) {
  std::optional<std::wstring> userFolder;  // looked for only when the program folder refuses
  const auto take = [&](const ClaimTry& at) {
    if (at.folder == NoteFolder::User && !userFolder) userFolder = UserNoteFolder();
    folder_ = at.folder == NoteFolder::User ? *userFolder : programFolder;
    fileName_ = win::Wide(NoteFileName(started, at.copy));
    path_ = win::Wide(LongPathForm(JoinFolderPath(win::U16(folder_), win::U16(fileName_))));
  };
  // Placing the file is the claim: only one process can place a name. The note shows meanwhile and
  // holds nothing yet, so the empty record is not flushed: on a busy disk that takes long enough to
  // keep the note from answering, and a crash leaves at worst an empty file.
  const std::string empty = FileBytes(L"", L"");
  NoteFileClaim search;
  ClaimAnswer answer = ClaimAnswer::Refused;
  do {
    take(search.current());
    if (folder_.empty()) {
      answer = ClaimAnswer::Refused;
      continue;
    }
    switch (win::PlaceNewFile(path_, empty, TempSuffix(), /*flush=*/false)) {
      case win::PlaceResult::Placed: answer = ClaimAnswer::Claimed; break;
      case win::PlaceResult::NameTaken: answer = ClaimAnswer::NameTaken; break;
      case win::PlaceResult::Failed: answer = ClaimAnswer::Refused; break;
    }
  } while (search.answer(answer));
  take(search.current());
  nowhere_ = search.nowhere();
  if (answer == ClaimAnswer::Claimed) written_ = WrittenNote{u"", u"", stamp()};
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

void NoteStore::remove() const {
  const std::wstring temp = win::Wide(LongPathForm(win::U16(path_ + TempSuffix())));
  const bool removed = win::RetryWhileHeld(
      [&] {
        DWORD error = ERROR_SUCCESS;
        for (const std::wstring* file : {&path_, &temp}) {
          if (::DeleteFileW(file->c_str())) continue;
          const DWORD failure = ::GetLastError();
          if (failure != ERROR_FILE_NOT_FOUND && failure != ERROR_PATH_NOT_FOUND) error = failure;
        }
        ::SetLastError(error);
        return error == ERROR_SUCCESS;
      },
      kRemoveBudgetMs);
  if (!removed) win::TraceLastError({L"DeleteFileW ", path_});
}

}  // namespace stickwell::note
