#include "shared/win/InstallFolder.h"

#include "shared/FolderPath.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/WideText.h"
#include "shared/win/WinHandles.h"

namespace stickwell::win {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kRemovePauseMs = 100;

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

}  // namespace

InstallFolder::InstallFolder(std::wstring folder) : folder_(std::move(folder)) {
  // Before any step renames it: from then on the file is known by what it is, not by its name.
  ownProgram_ = idOf(ModulePath());
}

std::wstring InstallFolder::path(std::u16string_view name) const {
  return Wide(LongPathForm(JoinFolderPath(U16(folder_), name)));
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
  // FAT volumes and some network shares have no hard links.
  return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ? Link::Unsupported : Link::Failed;
}

bool InstallFolder::move(std::u16string_view from, std::u16string_view to) {
  return MoveOver(path(from), path(to));
}

bool InstallFolder::remove(std::u16string_view name) { return RemoveFile(path(name)); }

bool InstallFolder::write(std::u16string_view name, std::string_view bytes) {
  const std::wstring file = path(name);
  UniqueHandle handle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (handle && ::WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && ::FlushFileBuffers(handle.get()))
    return true;
  TraceLastError({L"writing and flushing ", file});
  return false;
}

std::optional<std::string> InstallFolder::read(std::u16string_view name) {
  std::string bytes;
  if (!ReadWholeFile(path(name), bytes)) return std::nullopt;
  return bytes;
}

bool InstallFolder::replaceable(std::u16string_view name) {
  // Windows refuses to write to a running executable, and to delete a file that another program holds
  // without allowing that; asking for both access rights asks both questions without changing a thing.
  const std::wstring file = path(name);
  UniqueHandle handle(::CreateFileW(file.c_str(), FILE_WRITE_DATA | DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) TraceLastError({L"in use or read-only, not replaced: ", file});
  return static_cast<bool>(handle);
}

bool InstallFolder::isOwnProgram(std::u16string_view name) {
  return ownProgram_ && idOf(path(name)) == ownProgram_;
}

void InstallFolder::pause() { ::Sleep(kRemovePauseMs); }

}  // namespace stickwell::win
