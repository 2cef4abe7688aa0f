#include "note/win/OpenNote.h"

#include <windows.h>
#include <commdlg.h>

#include <cwchar>
#include <optional>
#include <string>

#include "note/core/NoteMerge.h"
#include "note/win/NoteWindow.h"
#include "shared/FolderPath.h"
#include "shared/win/AnsiCodePage.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/CommonControls.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/WideText.h"
#include "shared/win/WinHandles.h"

namespace stickwell::note {
namespace {

constexpr DWORD kPathCapacity = 32768;  // the longest path the system takes

std::optional<std::wstring> AskForFile(HWND owner, const std::wstring& startIn) {
  std::wstring path(kPathCapacity, L'\0');  // an empty file name to start with
  const std::wstring folder = win::WithoutLongPrefix(startIn);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = L"TXT\0*.txt\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathCapacity;
  dialog.lpstrInitialDir = folder.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                 OFN_DONTADDTORECENT | OFN_ENABLESIZING;
  if (!win::ThemedOpenFileDialog(dialog)) return std::nullopt;
  path.resize(std::wcslen(path.c_str()));
  if (path.empty()) return std::nullopt;
  return win::Wide(LongPathForm(win::U16(path)));
}

// The picked file, open from its reading to its deletion.
struct PickedFile {
  win::UniqueHandle handle;
  bool deletable = false;  // held so that nobody can write it in between, and opened for deletion
};

PickedFile OpenPicked(const std::wstring& path) {
  // Nobody may write the file while it is taken in: what is deleted is exactly what was read.
  PickedFile file{win::UniqueHandle(::CreateFileW(path.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)),
                  true};
  if (file.handle) return file;
  // Another program has it open for writing, or it may not be deleted: it can still be read, and
  // then stays where it is.
  file.handle.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.handle) win::TraceLastError({L"CreateFileW ", path});
  file.deletable = false;
  return file;
}

// Whether `file` is the file at `path`, however either was named (case, short names, links).
bool IsSameFile(HANDLE file, const std::wstring& path) {
  win::UniqueHandle other(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  if (!other || !::GetFileInformationByHandle(file, &a) || !::GetFileInformationByHandle(other.get(), &b))
    return false;
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

void DeleteOnClose(HANDLE file) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  if (!::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition))
    win::TraceLastError({L"SetFileInformationByHandle, deleting the opened note"});
}

std::u16string FromCodePage(std::string_view bytes) { return win::U16(win::FromAnsi(bytes)); }

void Show(NoteWindow& note, const NoteText& before, const NoteText& after) {
  if (after.title != before.title) note.setTitle(win::Wide(after.title));
  if (after.titleEditor != before.titleEditor) note.setTitleEditorText(win::Wide(after.titleEditor));
  if (after.body != before.body) note.setBody(win::Wide(after.body));
}

}  // namespace

void OpenNoteFile(NoteWindow& note) {
  const std::optional<std::wstring> path = AskForFile(note.hwnd(), note.store().folder());
  const NoteText before{win::U16(note.title()), win::U16(note.titleEditorText()), win::U16(note.body())};
  NoteText after = before;
  if (!path) {
    RemoveLeadingLineBreaks(after.body);
    Show(note, before, after);
    return;
  }

  PickedFile file = OpenPicked(*path);
  std::string bytes;
  if (!file.handle || !win::ReadToEnd(file.handle.get(), *path, bytes)) return;
  const std::optional<std::u16string> text = OpenedFileText(bytes, FromCodePage);
  if (!text) return;
  // This note's own file holds the merged note in a moment; it must not be deleted, nor held open
  // while the save replaces it.
  if (IsSameFile(file.handle.get(), note.store().path())) file = PickedFile{};

  MergeOpenedNote(after, SplitLines(*text));
  Show(note, before, after);
  // From here on the other note lives only in this one: it reaches this note's file before its own
  // file goes.
  if (!note.saveNote() || !file.deletable) return;
  DeleteOnClose(file.handle.get());
}

}  // namespace stickwell::note
