#include "note/win/UserNoteFolder.h"

#include <windows.h>

#include "shared/FolderPath.h"
#include "shared/win/Background.h"
#include "shared/win/CommonControls.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/WideText.h"

namespace stickwell::note {
namespace {

constexpr wchar_t kCannotSave[] =
    L"这张便签无法保存：程序所在的文件夹和 %LOCALAPPDATA%\\Stickwell 都不能写入。\n"
    L"便签仍可使用，但关闭、死机或断电后，其中的文字不会留下。";

std::wstring FromEnvironment(const wchar_t* name) {
  std::wstring value(::GetEnvironmentVariableW(name, nullptr, 0), L'\0');
  value.resize(value.empty() ? 0 : ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
  return value;
}

// The known folder itself, for a process started without the usual environment. The shell comes only
// now: a note whose program folder takes its file never loads it.
std::wstring KnownLocalAppData() {
  static const GUID kLocalAppData = {0xF1B32785, 0x6FBA, 0x4FCF, {0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91}};
  using GetKnownFolder = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);
  using FreeTaskMemory = void(WINAPI*)(void*);
  HMODULE shell = ::LoadLibraryW(L"shell32.dll");
  HMODULE ole = ::LoadLibraryW(L"ole32.dll");
  const auto get = shell ? reinterpret_cast<GetKnownFolder>(
                               reinterpret_cast<void*>(::GetProcAddress(shell, "SHGetKnownFolderPath")))
                         : nullptr;
  const auto freeMemory =
      ole ? reinterpret_cast<FreeTaskMemory>(reinterpret_cast<void*>(::GetProcAddress(ole, "CoTaskMemFree"))) : nullptr;
  PWSTR found = nullptr;
  if (!get || !freeMemory || FAILED(get(kLocalAppData, 0, nullptr, &found))) {
    win::TraceLastError({L"SHGetKnownFolderPath LocalAppData"});
    if (freeMemory) freeMemory(found);
    return {};
  }
  std::wstring folder = found;
  freeMemory(found);
  return folder;
}

}  // namespace

std::wstring UserNoteFolder() {
  std::wstring base = FromEnvironment(L"LOCALAPPDATA");
  if (base.empty()) base = KnownLocalAppData();
  if (base.empty()) return {};
  const std::wstring folder = win::Wide(JoinFolderPath(win::U16(base), u"Stickwell"));
  if (!::CreateDirectoryW(win::Wide(LongPathForm(win::U16(folder))).c_str(), nullptr) &&
      ::GetLastError() != ERROR_ALREADY_EXISTS) {
    win::TraceLastError({L"CreateDirectoryW ", folder});
    return {};
  }
  return folder;
}

void TellNoteCannotBeSaved() {
  // A message box of the note's own thread would hold up its keys and its dialogs until answered.
  win::RunInBackground(
      [] { win::ThemedMessageBox(nullptr, kCannotSave, L"Stickwell", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND); },
      L"telling that the note cannot be saved");
}

}  // namespace stickwell::note
