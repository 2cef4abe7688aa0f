#include "shared/win/Diagnostics.h"

#include <exception>

namespace stickwell::win {
namespace {

// A trace leaves the thread's last error as it found it: it never changes what the caller reads next.
class KeepLastError {
 public:
  KeepLastError() noexcept : error_(::GetLastError()) {}
  ~KeepLastError() { ::SetLastError(error_); }
  KeepLastError(const KeepLastError&) = delete;
  KeepLastError& operator=(const KeepLastError&) = delete;

 private:
  const DWORD error_;
};

// A trace is one line of bounded length, built on the stack: tracing must work when memory is out.
class Line {
 public:
  Line() noexcept { appendProgramName(); }

  void append(std::wstring_view text) noexcept {
    for (wchar_t c : text) {
      if (length_ + 1 >= std::size(text_)) return;  // room for the line break
      text_[length_++] = c;
    }
  }
  void append(std::initializer_list<std::wstring_view> parts) noexcept {
    for (std::wstring_view part : parts) append(part);
  }
  // Exception texts are narrow; anything beyond ASCII shows as '?'.
  void appendNarrow(const char* text) noexcept {
    for (; text && *text; ++text) {
      const wchar_t c = static_cast<unsigned char>(*text) < 0x80 ? static_cast<wchar_t>(*text) : L'?';
      append(std::wstring_view(&c, 1));
    }
  }
  void appendNumber(unsigned long long value) noexcept {
    wchar_t digits[24];
    size_t count = 0;
    do {
      digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
      value /= 10;
    } while (value != 0);
    while (count > 0) append(std::wstring_view(&digits[--count], 1));
  }

  // Sent as ANSI text, as OutputDebugStringW itself hands it to a debugger that reads only that: Wine
  // (8.0) files the wide call's text under its "seh" channel, while WINEDEBUG=+debugstr shows this one.
  void send() noexcept {
    text_[length_++] = L'\n';
    char bytes[sizeof text_];
    int size = ::WideCharToMultiByte(CP_ACP, 0, text_, static_cast<int>(length_), bytes, sizeof bytes - 1, nullptr,
                                     nullptr);
    if (size <= 0) {  // keep what plain ASCII there is
      size = 0;
      for (size_t i = 0; i < length_; ++i) bytes[size++] = text_[i] < 0x80 ? static_cast<char>(text_[i]) : '?';
    }
    bytes[size] = '\0';
    ::OutputDebugStringA(bytes);
  }

 private:
  // Both programs and the test runner share these pieces: each trace says whose it is.
  void appendProgramName() noexcept {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring_view name(path, length < MAX_PATH ? length : 0);
    name = name.substr(name.find_last_of(L"\\/") + 1);  // npos + 1 == 0: the whole text
    if (name.size() > 4 && name.substr(name.size() - 4) == L".exe") name.remove_suffix(4);
    append(name.empty() ? std::wstring_view(L"Stickwell") : name);
    append(L": ");
  }

  wchar_t text_[1024];
  size_t length_ = 0;
};

}  // namespace

void TraceError(DWORD error, std::initializer_list<std::wstring_view> what) noexcept {
  const KeepLastError keep;
  Line line;
  line.append(what);
  line.append(L" failed (error ");
  // System error codes read best in decimal; status codes and HRESULTs (high bit set) in hexadecimal.
  if (error & 0x80000000u) {
    line.append(Hex(error));
  } else {
    line.appendNumber(error);
  }
  line.append(L")");
  line.send();
}

void TraceException(std::initializer_list<std::wstring_view> where) noexcept {
  const KeepLastError keep;
  Line line;
  line.append(where);
  line.append(L" stopped an exception (");
  try {
    throw;
  } catch (const std::exception& e) {
    line.appendNarrow(e.what());
  } catch (...) {
    line.append(L"not a standard exception");
  }
  line.append(L")");
  line.send();
}

Hex::Hex(unsigned long long value) noexcept {
  wchar_t digits[16];
  size_t count = 0;
  do {
    digits[count++] = L"0123456789ABCDEF"[value % 16];
    value /= 16;
  } while (value != 0);
  while (count < 4) digits[count++] = L'0';
  text_[length_++] = L'0';
  text_[length_++] = L'x';
  while (count > 0) text_[length_++] = digits[--count];
}

}  // namespace stickwell::win
