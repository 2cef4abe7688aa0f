#include "note/win/UpdateCheckWindow.h"

#include <commctrl.h>

#include "note/win/UpdatePageAnswer.h"
#include "shared/Text.h"
#include "shared/Twips.h"
#include "shared/UpdatePage.h"
#include "shared/win/AtomicFile.h"
#include "shared/win/CommonControls.h"
#include "shared/win/Crypto.h"
#include "shared/win/Dpi.h"
#include "shared/win/Launch.h"
#include "shared/win/ProgramFolder.h"
#include "shared/win/StatusForm.h"
#include "shared/win/UpdatePageFetch.h"
#include "shared/win/WideText.h"

namespace stickwell::note {
namespace {

constexpr UINT kFindingArrived = WM_APP + 1;
constexpr UINT_PTR kBarTimer = 1;  // the bar's 10 ms timer
constexpr UINT kBarTickMs = 10;
constexpr int kStatusId = 1;
constexpr int kBarId = 2;

// Pure blue: the background, and the colour the desktop shows through.
constexpr COLORREF kColourKey = RGB(0, 0, 255);
constexpr COLORREF kStatusColour = RGB(0, 0xC0, 0);

constexpr SIZE kClient{4620, 780};  // twips
constexpr RECT kStatusLine{60, 30, 4560, 360};
constexpr RECT kBar{60, 420, 4560, 720};

std::wstring Text(std::u16string_view text) { return win::Wide(text); }

// The page's bytes are UTF-8, read as the updater and the message push read them, so that all agree
// on the page's version. With a key built into the program, a page that names another version counts
// only when its signed list verifies and names that version; without one, every page counts.
std::optional<CheckFinding> ReadFinding() {
  const win::FetchResult page = win::FetchUpdatePage();
  const PageAnswer answer = AnswerOf(page.status);
  const std::u16string text = answer == PageAnswer::Arrived ? Utf8ToText(page.body) : std::u16string();
  return FindUpdate(answer, text, page::OwnVersionText(), [](std::u16string_view page, std::u16string_view version) {
    return win::TrustUpdatePage(page, version).ok();
  });
}

}  // namespace

void UpdateCheckWindow::open(HWND owner) {
  if (isOpen()) return;
  win::CommonControlsScope themed;  // the progress bar
  win::RegisterWindowClass(win::kFormClass, CS_DBLCLKS);
  if (!create(win::kFormClass, L"自动更新", WS_POPUP | WS_CLIPCHILDREN, WS_EX_LAYERED, 0, 0, 100, 100, owner, nullptr))
    return;
  // The colour key alone decides what shows: the alpha value is ignored.
  ::SetLayeredWindowAttributes(hwnd(), kColourKey, 10, LWA_COLORKEY);

  win::CentreOnWorkArea(hwnd(), kClient);
  status_ = win::CreateChildAtTwips(hwnd(), L"STATIC", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, kStatusId, kStatusLine);
  bar_ = win::CreateChildAtTwips(hwnd(), PROGRESS_CLASSW, PBS_SMOOTH, kBarId, kBar);
  statusFont_.reset(win::CreateStatusFont(hwnd()));
  ::SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_.get()), FALSE);
  ::SendMessageW(bar_, PBM_SETRANGE32, 0, kLastBarValue);
  ::SendMessageW(bar_, PBM_SETPOS, 0, 0);
  setStatus(kCheckingText);
  check_.emplace();

  // Nothing in the window takes typing: the user's note keeps the keyboard.
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(hwnd());

  // The page is read on a worker: the window keeps painting "正在检查更新..." and the note stays
  // usable however long the server takes. The bar starts when the answer is in.
  finding_.start(hwnd(), kFindingArrived, ReadFinding);
}

void UpdateCheckWindow::setStatus(std::u16string_view text) {
  ::SetWindowTextW(status_, Text(text).c_str());
  ::InvalidateRect(status_, nullptr, TRUE);
}

void UpdateCheckWindow::carryOut(CheckStep step) {
  using Action = CheckStep::Action;
  // The questions are modal: the bar's timer keeps ticking meanwhile, and the check ignores it.
  for (;;) {
    if (step.bar) ::SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(*step.bar), 0);
    if (step.status) setStatus(*step.status);
    const std::wstring question = Text(step.text);
    const std::wstring updater = win::InProgramFolder(L"Renewick.exe");
    switch (step.action) {
      case Action::None: return;
      case Action::StartBar:
        ::SetTimer(hwnd(), kBarTimer, kBarTickMs, nullptr);
        return;
      case Action::AskToUpdate: {
        const bool ok = win::ThemedMessageBox(hwnd(), question.c_str(), Text(kNewVersionTitle).c_str(), MB_OKCANCEL) == IDOK;
        step = check_->answered(ok, win::FileExists(updater));
        break;
      }
      case Action::LaunchUpdater: {
        // The updater replaces this program's files, so the note ends at once; what was typed since
        // the last save must be in the note file first.
        const bool saved = saveNote_ && saveNote_();
        step = check_->launched(saved, win::LaunchProgram(updater));
        break;
      }
      case Action::AskUpdaterMissing: {
        const bool yes = win::ThemedMessageBox(hwnd(), question.c_str(), Text(kUpdaterMissingTitle).c_str(), MB_YESNO) == IDYES;
        step = check_->updaterMissingAnswered(yes);
        break;
      }
      case Action::OpenSiteAndClose:
        win::OpenOfficialSite();
        return close();
      case Action::Close: return close();
      case Action::EndProgram: ::ExitProcess(0);
    }
  }
}

void UpdateCheckWindow::close() {
  if (hwnd()) ::DestroyWindow(hwnd());
}

LRESULT UpdateCheckWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kFindingArrived:
      if (auto finding = finding_.take(); finding && check_) carryOut(check_->pageArrived(std::move(*finding)));
      return 0;
    case WM_TIMER:
      if (wParam == kBarTimer && check_) carryOut(check_->tick());
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(hwnd(), &client);
      win::UniqueBrush blue(::CreateSolidBrush(kColourKey));
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, blue.get());
      return 1;
    }
    case WM_CTLCOLORSTATIC: {
      const auto dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, kStatusColour);
      ::SetBkColor(dc, kColourKey);
      ::SetDCBrushColor(dc, kColourKey);
      return reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH));
    }
    case WM_DESTROY:
      ::KillTimer(hwnd(), kBarTimer);
      finding_.drop();
      check_.reset();
      break;
  }
  return Window::handleMessage(message, wParam, lParam);
}

}  // namespace stickwell::note
