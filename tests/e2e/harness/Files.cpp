#include <windows.h>

#include "harness/Files.h"
#include "harness/Wait.h"

namespace e2e {

std::optional<std::string> ReadBytes(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  ::CloseHandle(file);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  ::CloseHandle(file);
  return ok;
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> WaitForFile(const std::wstring& path,
                                       const std::function<bool(const std::string&)>& accept, DWORD timeoutMs) {
  std::optional<std::string> last;
  WaitUntil(
      [&] {
        last = ReadBytes(path);
        return last && accept(*last);
      },
      timeoutMs);
  return last;
}

bool WaitForFileGone(const std::wstring& path, DWORD timeoutMs) {
  return WaitUntil([&] { return !FileExists(path); }, timeoutMs);
}

namespace {

std::string Encode(UINT codePage, const std::wstring& text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
  return bytes;
}

}  // namespace

std::string Utf8(const std::wstring& text) { return Encode(CP_UTF8, text); }
std::string Gbk(const std::wstring& text) { return Encode(936, text); }

}  // namespace e2e
