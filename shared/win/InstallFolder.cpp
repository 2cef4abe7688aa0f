#include "shared/win/InstallFolder.h"

#include "shared/FolderPath.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/HeldFile.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/WideText.h"
#include "shared/win/WinHandles.h"

namespace stickwell::win {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kHeldPauseMs = 100;

// What a failed step's error means to the install: another program holding the file goes away.
install::Answer AnswerAfter(bool done) {
  if (done) return install::Answer::Done;
  return IsHeldFileError(::GetLastError()) ? install::Answer::Held : install::Answer::Failed;
}

}  // namespace

InstallFolder::InstallFolder(std::wstring folder) : folder_(std::move(folder)) {
  // Before any step renames it: from then on the file is known by what it is, not by its name.
  ownProgram_ = idOf(Wide(LongPathForm(U16(ProgramPath()))));
}

std::wstring InstallFolder::PathIn(const std::wstring& folder, std::u16string_view name) {
  return Wide(LongPathForm(JoinFolderPath(U16(folder), name)));
}

std::optional<InstallFolder::FileId> InstallFolder::idOf(const std::wstring& path) const {
  // No access beyond the attributes, and every sharing allowed: this open disturbs nobody.
  UniqueHandle file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !::GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return FileId{info.dwVolumeSerialNumber, (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::optional<std::uint64_t> InstallFolder::length(std::u16string_view name) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path(name).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool InstallFolder::sameFile(std::u16string_view a, std::u16string_view b) {
  const auto first = idOf(path(a));
  return first && first == idOf(path(b));
}

InstallFolder::Link InstallFolder::link(std::u16string_view existing, std::u16string_view newName) {
  const std::wstring from = path(existing), to = path(newName);
  if (::CreateHardLinkW(to.c_str(), from.c_str(), nullptr)) return Link::Made;
  const DWORD error = ::GetLastError();
  TraceError(error, {L"CreateHardLinkW ", from, L" -> ", to});
  // FAT and exFAT volumes (USB sticks, memory cards) and some network shares have no hard links.
  if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) return Link::Unsupported;
  return IsHeldFileError(error) ? Link::Held : Link::Failed;
}

install::Answer InstallFolder::copy(std::u16string_view from, std::u16string_view to) {
  const std::wstring source = path(from), copy = path(to);
  if (!::CopyFileW(source.c_str(), copy.c_str(), FALSE)) {
    TraceLastError({L"CopyFileW ", source, L" -> ", copy});
    return AnswerAfter(false);
  }
  // The copy is all that keeps the old bytes once the new file has moved in: it must be on the disk first.
  UniqueHandle handle(::CreateFileW(copy.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  const bool flushed = handle && ::FlushFileBuffers(handle.get());
  if (!flushed) TraceLastError({L"flushing the copy ", copy});
  return AnswerAfter(flushed);
}

install::Answer InstallFolder::move(std::u16string_view from, std::u16string_view to) {
  return AnswerAfter(MoveOver(path(from), path(to)));
}

install::Answer InstallFolder::remove(std::u16string_view name) { return AnswerAfter(RemoveFile(path(name))); }

install::Answer InstallFolder::write(std::u16string_view name, std::string_view bytes) {
  const std::wstring file = path(name);
  UniqueHandle handle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (handle && ::WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && ::FlushFileBuffers(handle.get()))
    return install::Answer::Done;
  TraceLastError({L"writing and flushing ", file});
  return AnswerAfter(false);
}

std::optional<std::string> InstallFolder::read(std::u16string_view name) {
  std::string bytes;
  if (!ReadWholeFile(path(name), bytes)) return std::nullopt;
  return bytes;
}

install::Answer InstallFolder::makeReplaceable(std::u16string_view name) {
  const std::wstring file = path(name);
  // A file copied from a CD or unpacked from some archives is read-only, which a move cannot replace.
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
      !::SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
    TraceLastError({L"read-only, not made writable: ", file});
    return AnswerAfter(false);
  }
  // Windows refuses to write to a running executable, and to delete a file that another program holds
  // without allowing that; asking for both access rights asks both questions without changing a thing.
  UniqueHandle handle(::CreateFileW(file.c_str(), FILE_WRITE_DATA | DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) TraceLastError({L"in use, not replaced: ", file});
  return AnswerAfter(static_cast<bool>(handle));
}

bool InstallFolder::isOwnProgram(std::u16string_view name) {
  return ownProgram_ && idOf(path(name)) == ownProgram_;
}

void InstallFolder::pause() { ::Sleep(kHeldPauseMs); }

}  // namespace stickwell::win
