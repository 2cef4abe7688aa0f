#include "tools/Files.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <optional>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "shared/Text.h"
#else
#include <unistd.h>
#endif

namespace stickwell::page {
namespace {

#ifdef _WIN32
std::wstring WidePath(const std::string& path) {
  const std::u16string wide = Utf8ToText(path);
  return std::wstring(wide.begin(), wide.end());
}
int OpenNew(const std::string& path) {
  return _wopen(WidePath(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int WritePiece(int file, const char* data, std::size_t size) {
  return _write(file, data, static_cast<unsigned>(size < (1u << 30) ? size : (1u << 30)));
}
int Flush(int file) { return _commit(file); }
int Close(int file) { return _close(file); }
void Remove(const std::string& path) { _wremove(WidePath(path).c_str()); }
#else
int OpenNew(const std::string& path) { return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600); }
int WritePiece(int file, const char* data, std::size_t size) { return static_cast<int>(write(file, data, size < (1u << 30) ? size : (1u << 30))); }
int Flush(int file) { return fsync(file); }
int Close(int file) { return close(file); }
void Remove(const std::string& path) { unlink(path.c_str()); }
#endif

}  // namespace

std::variant<std::string, std::string> ReadWholeFile(const std::string& path) {
#ifdef _WIN32
  std::FILE* file = _wfopen(WidePath(path).c_str(), L"rb");
#else
  std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
  if (!file) return std::variant<std::string, std::string>(std::in_place_index<1>, std::strerror(errno));
  std::string bytes;
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) return std::variant<std::string, std::string>(std::in_place_index<1>, std::strerror(error));
  return std::variant<std::string, std::string>(std::in_place_index<0>, std::move(bytes));
}

std::optional<std::string> CreateNewFile(const std::string& path, std::string_view bytes) {
  const int file = OpenNew(path);
  if (file < 0) return std::string(std::strerror(errno));
  bool written = true;
  while (written && !bytes.empty()) {
    const int piece = WritePiece(file, bytes.data(), bytes.size());
    written = piece > 0;
    if (written) bytes.remove_prefix(static_cast<std::size_t>(piece));
  }
  written = written && Flush(file) == 0;
  const int error = errno;
  if (Close(file) != 0) written = false;
  if (written) return std::nullopt;
  // A half-written key would be refused later with a less helpful message.
  Remove(path);
  return std::string(std::strerror(error != 0 ? error : EIO));
}

std::string_view FileNameOf(std::string_view path) {
#ifdef _WIN32
  const std::size_t end = path.find_last_of("/\\:");
#else
  const std::size_t end = path.find_last_of('/');
#endif
  return end == std::string_view::npos ? path : path.substr(end + 1);
}

void Write(std::FILE* stream, const std::string& utf8) {
#ifdef _WIN32
  const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    const std::u16string text = Utf8ToText(utf8);
    DWORD written = 0;
    WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  _setmode(_fileno(stream), _O_BINARY);
#endif
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fflush(stream);
}

}  // namespace stickwell::page
