#include "shared/win/AtomicFile.h"

#include <windows.h>

#include "shared/win/Diagnostics.h"
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

}  // namespace

bool MoveOver(const std::wstring& from, const std::wstring& to) {
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  TraceLastError({L"MoveFileExW ", from, L" -> ", to});
  return false;
}

bool ReplaceFileContents(const std::wstring& target, std::string_view bytes, std::wstring_view tempSuffix) {
  const std::wstring temp = target + std::wstring(tempSuffix);
  if (WriteFileWith(temp, CREATE_ALWAYS, bytes, /*flush=*/true) && MoveOver(temp, target)) return true;
  RemoveFile(temp);
  return false;
}

PlaceResult PlaceNewFile(const std::wstring& target, std::string_view bytes, std::wstring_view tempSuffix) {
  const std::wstring temp = target + std::wstring(tempSuffix);
  if (!WriteFileWith(temp, CREATE_ALWAYS, bytes, /*flush=*/true)) {
    RemoveFile(temp);
    return PlaceResult::Failed;
  }
  if (::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return PlaceResult::Placed;
  const DWORD error = ::GetLastError();
  RemoveFile(temp);
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return PlaceResult::NameTaken;
  TraceError(error, {L"MoveFileExW ", temp, L" -> ", target});
  return PlaceResult::Failed;
}

bool CreateNewFile(const std::wstring& path, std::string_view bytes) {
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    // A name another file has is the expected answer; anything else is a folder we cannot write.
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) TraceError(error, {L"CreateFileW ", path});
    return false;
  }
  if (!WriteAll(file.get(), bytes)) {
    TraceLastError({L"WriteFile ", path});
    file.reset();
    RemoveFile(path);
    return false;
  }
  return true;
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
