#include "shared/win/AnsiCodePage.h"

#include <windows.h>

#include "shared/win/Diagnostics.h"

namespace stickwell::win {
namespace {

std::string Encode(UINT codePage, DWORD flags, std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  int size = ::WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    TraceLastError({L"WideCharToMultiByte, code page ", Hex(codePage)});
    return {};
  }
  std::string bytes(static_cast<size_t>(size), '\0');
  size = ::WideCharToMultiByte(codePage, flags, text.data(), length, bytes.data(), size, nullptr, nullptr);
  bytes.resize(size > 0 ? static_cast<size_t>(size) : 0);
  return bytes;
}

std::wstring Decode(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  int size = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  if (size <= 0) {
    TraceLastError({L"MultiByteToWideChar, code page ", Hex(codePage)});
    return {};
  }
  std::wstring text(static_cast<size_t>(size), L'\0');
  size = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), size);
  text.resize(size > 0 ? static_cast<size_t>(size) : 0);
  return text;
}

}  // namespace

AnsiText ToAnsi(std::wstring_view text) {
  AnsiText result;
  result.bytes = Encode(CP_ACP, 0, text);
  // The converter substitutes silently (best fit, default character); a round trip is the one
  // test that catches every loss.
  result.representable = Decode(CP_ACP, result.bytes) == text;
  return result;
}

std::wstring FromAnsi(std::string_view bytes) { return Decode(CP_ACP, bytes); }
std::wstring FromUtf8(std::string_view bytes) { return Decode(CP_UTF8, bytes); }
std::string ToUtf8(std::wstring_view text) { return Encode(CP_UTF8, 0, text); }

}  // namespace stickwell::win
