#include "shared/win/AtomicFile.h"

#include <windows.h>

#include "shared/FolderPath.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/HeldFile.h"
#include "shared/win/WideText.h"
#include "shared/win/WinHandles.h"

namespace stickwell::win {
namespace {

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool WriteFileWith(const std::wstring& path, DWORD disposition, std::string_view bytes, bool flush) {
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    TraceLastError({L"CreateFileW ", path});
    return false;
  }
  if (!WriteAll(file.get(), bytes)) {
    TraceLastError({L"WriteFile ", path});
    return false;
  }
  if (flush && !::FlushFileBuffers(file.get())) {
    TraceLastError({L"FlushFileBuffers ", path});
    return false;
  }
  return true;
}

// The temporary file beside `target`. Its name is longer than the target's, so it may need the long form
// where the target does not.
std::wstring TemporaryFor(const std::wstring& target, std::wstring_view suffix) {
  return Wide(LongPathForm(U16(target + std::wstring(suffix))));
}

// Whether another program holds `target` without letting anyone replace it (a sync client, an editor,
// a scanner). Moving over it would fail: finding out first spares writing and flushing a temporary
// file for nothing, on every try for as long as the hold lasts.
bool HeldAgainstReplacing(const std::wstring& target) {
  UniqueHandle file(::CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !file && (::GetLastError() == ERROR_SHARING_VIOLATION || ::GetLastError() == ERROR_LOCK_VIOLATION);
}

// Removes the temporary file after a failure, keeping that failure's error for the caller.
void RemoveTemporary(const std::wstring& temp) {
  const DWORD error = ::GetLastError();
  RemoveFile(temp);
  ::SetLastError(error);
}

}  // namespace

bool MoveOver(const std::wstring& from, const std::wstring& to) {
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  TraceLastError({L"MoveFileExW ", from, L" -> ", to});
  return false;
}

bool ReplaceFileContents(const std::wstring& target, std::string_view bytes, std::wstring_view tempSuffix) {
  if (HeldAgainstReplacing(target)) return false;
  const std::wstring temp = TemporaryFor(target, tempSuffix);
  if (WriteFileWith(temp, CREATE_ALWAYS, bytes, /*flush=*/true) && MoveOver(temp, target)) return true;
  RemoveTemporary(temp);
  return false;
}

PlaceResult PlaceNewFile(const std::wstring& target, std::string_view bytes, std::wstring_view tempSuffix,
                         bool flush) {
  const std::wstring temp = TemporaryFor(target, tempSuffix);
  if (!WriteFileWith(temp, CREATE_ALWAYS, bytes, flush)) {
    RemoveTemporary(temp);
    return PlaceResult::Failed;
  }
  // A scanner looks at every new file as it is closed, and may hold it for a moment.
  constexpr DWORD kHeldBudgetMs = 500;
  if (RetryWhileHeld([&] { return ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE; },
                     kHeldBudgetMs))
    return PlaceResult::Placed;
  const DWORD error = ::GetLastError();
  RemoveTemporary(temp);
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return PlaceResult::NameTaken;
  TraceError(error, {L"MoveFileExW ", temp, L" -> ", target});
  return PlaceResult::Failed;
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  return WriteFileWith(path, CREATE_ALWAYS, bytes, /*flush=*/false);
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) TraceError(error, {L"CreateFileW ", path});
    return false;
  }
  return ReadToEnd(file.get(), path, bytes);
}

bool ReadToEnd(HANDLE file, const std::wstring& name, std::string& bytes) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size)) {
    TraceLastError({L"GetFileSizeEx ", name});
    return false;
  }
  if (size.QuadPart < 0 || size.QuadPart > 0x7fffffff) {
    TraceError(ERROR_FILE_TOO_LARGE, {L"reading ", name});
    return false;
  }
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    if (!::ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr)) {
      TraceLastError({L"ReadFile ", name});
      return false;
    }
    if (read == 0) return false;  // the file shrank under us: not read to its end
    done += read;
  }
  return true;
}

bool RemoveFile(const std::wstring& path) {
  if (::DeleteFileW(path.c_str())) return true;
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_NOT_FOUND) return true;
  TraceError(error, {L"DeleteFileW ", path});
  return false;
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace stickwell::win
