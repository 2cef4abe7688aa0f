#include "note/win/TextDocuments.h"

#include <windows.h>

#include <string_view>

#include "note/win/NoteStore.h"
#include "note/res/resource.h"
#include "shared/FolderPath.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/Diagnostics.h"
#include "shared/win/WideText.h"

namespace stickwell::note {
namespace {

struct Document {
  int resourceId;
  const char16_t* fileName;
  bool keepExisting;
};

constexpr Document kDocuments[] = {
    {IDR_LICENSE, u"License.txt", true},
    {IDR_README, u"ReadMe.txt", false},
    {IDR_WHATSNEW, u"WhatsNew.txt", false},
    {IDR_ADVERTISING, u"广告合作及其协议.txt", true},
};

// The resource's bytes, unchanged (GBK text).
std::string_view ResourceBytes(int id) {
  HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), L"CUSTOM");
  if (!resource) {
    win::TraceLastError({L"FindResourceW CUSTOM ", win::Hex(static_cast<unsigned>(id))});
    return {};
  }
  HGLOBAL loaded = ::LoadResource(nullptr, resource);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) {
    win::TraceLastError({L"LoadResource CUSTOM ", win::Hex(static_cast<unsigned>(id))});
    return {};
  }
  return std::string_view(static_cast<const char*>(bytes), ::SizeofResource(nullptr, resource));
}

}  // namespace

void WriteTextDocuments(const std::wstring& folder) {
  for (const Document& document : kDocuments) {
    const std::string_view bytes = ResourceBytes(document.resourceId);
    const std::wstring path = win::Wide(LongPathForm(JoinFolderPath(win::U16(folder), document.fileName)));
    if (document.keepExisting) {
      // Placing writes a temporary file first: only worth it when the name is free (two notes that
      // start together may both find it so; one of them places it).
      if (!win::FileExists(path)) win::PlaceNewFile(path, bytes, TempSuffix());
      continue;
    }
    // Usually the file already holds exactly these bytes; reading them is much cheaper than writing.
    std::string present;
    if (!win::ReadWholeFile(path, present) || present != bytes) win::ReplaceFileContents(path, bytes, TempSuffix());
  }
}

}  // namespace stickwell::note
