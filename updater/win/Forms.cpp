#include "updater/win/Forms.h"

#include "shared/Twips.h"
#include "shared/win/Dpi.h"
#include "shared/win/Launch.h"

namespace stickwell::updater {
namespace {
int openForms = 0;
}

void FormOpened() { ++openForms; }

void FormClosed() {
  if (--openForms <= 0) ::PostQuitMessage(0);
}

win::UniqueFont MakeFont(HWND window, const wchar_t* face, double points, bool bold, BYTE charset) {
  LOGFONTW font{};
  font.lfHeight = -PointsToPixels(points, win::WindowDpi(window));
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = charset;
  font.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return win::UniqueFont(::CreateFontIndirectW(&font));
}

void AskToOpenSiteAfterFailure(HWND owner) {
  if (::MessageBoxW(owner, L"更新失败，是否去官网下载最新版本", L"提示", MB_YESNO | MB_ICONQUESTION) == IDYES)
    win::OpenOfficialSite();
}

}  // namespace stickwell::updater
