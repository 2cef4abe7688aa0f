#include "harness/ProgramDir.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

namespace e2e {
namespace {

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path.c_str());
      }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

const std::wstring& BuildBinFolder() {
  static const std::wstring folder = [] {
    wchar_t path[MAX_PATH * 2];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring exe(path, length);
    return exe.substr(0, exe.find_last_of(L'\\'));
  }();
  return folder;
}

ProgramDir::ProgramDir(const std::vector<std::wstring>& programs) {
  static std::atomic<unsigned> counter{0};
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  for (;;) {
    path_ = std::wstring(temp) + L"sw-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(counter++);
    if (::CreateDirectoryW(path_.c_str(), nullptr)) break;
  }
  for (const auto& program : programs) copyFromBuild(program, program);
}

ProgramDir::~ProgramDir() {
  EndProcessesIn(path_ + L"\\");
  RemoveTree(path_);
}

bool ProgramDir::copyFromBuild(const std::wstring& buildFile, const std::wstring& asName) const {
  return ::CopyFileW((BuildBinFolder() + L"\\" + buildFile).c_str(), file(asName).c_str(), FALSE) != 0;
}

std::vector<std::wstring> ProgramDir::files(const std::wstring& pattern) const {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW(file(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace e2e
