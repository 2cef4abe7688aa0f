#include "shared/win/ProgramFolder.h"

#include <windows.h>

#include "shared/FolderPath.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/WideText.h"

namespace stickwell::win {
namespace {

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      TraceLastError({L"GetModuleFileNameW"});
      return {};
    }
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring FolderOf(const std::wstring& file) {
  const size_t slash = file.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  // Keep the backslash of a drive root: "C:\Stickwell.exe" lives in "C:\".
  if (slash == 2 && file.size() > 1 && file[1] == L':') return file.substr(0, 3);
  return file.substr(0, slash);
}

}  // namespace

const std::wstring& ProgramPath() {
  static const std::wstring path = ModulePath();
  return path;
}

const std::wstring& ProgramFolder() {
  static const std::wstring folder = FolderOf(ProgramPath());
  return folder;
}

std::wstring InProgramFolder(std::wstring_view fileName) {
  return Wide(LongPathForm(JoinFolderPath(U16(ProgramFolder()), U16(fileName))));
}

std::wstring WithoutLongPrefix(const std::wstring& path) {
  std::wstring plain = Wide(PlainPathForm(U16(path)));
  if (plain.size() < MAX_PATH) return plain;
  // The short form ("PROGRA~1") of a path that exists, where the volume keeps short names.
  std::wstring shortened(path.size() + 1, L'\0');
  const DWORD length = ::GetShortPathNameW(Wide(LongPathForm(U16(plain))).c_str(), shortened.data(),
                                           static_cast<DWORD>(shortened.size()));
  if (length == 0 || length >= shortened.size()) return plain;
  shortened.resize(length);
  shortened = Wide(PlainPathForm(U16(shortened)));
  return shortened.size() < plain.size() ? shortened : plain;
}

}  // namespace stickwell::win
