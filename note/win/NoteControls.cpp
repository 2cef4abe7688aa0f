#include "note/win/NoteControls.h"

#include <commctrl.h>

#include <tuple>
#include <utility>

#include "note/win/ControlIds.h"
#include "note/win/NoteContrast.h"
#include "shared/Twips.h"
#include "shared/win/CommonControls.h"

namespace stickwell::note {
namespace {

// The note's typeface: SimSun, with the GB2312 character set so Chinese text picks it.
constexpr wchar_t kTypeface[] = L"宋体";

HFONT MakeFont(float points, unsigned dpi, bool bold, bool italic) {
  return ::CreateFontW(-PointsToPixels(points, dpi), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, FALSE, FALSE,
                       GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, kTypeface);
}

// Rounds each edge rather than the size, so that neighbouring controls meet without gaps at any DPI.
RECT ToPixels(const TwipRect& r, unsigned dpi) {
  const int left = TwipsToPixels(r.left, dpi);
  const int top = TwipsToPixels(r.top, dpi);
  return RECT{left, top, TwipsToPixels(r.left + r.width, dpi), TwipsToPixels(r.top + r.height, dpi)};
}

HWND CreateEdit(HWND parent, int id, DWORD style, const RECT& pixels) {
  return ::CreateWindowExW(0, WC_EDITW, L"", WS_CHILD | WS_CLIPSIBLINGS | style, pixels.left, pixels.top,
                           pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

void EditColours::set(win::ColourValue back, win::ColourValue fore) {
  back_ = back;
  fore_ = fore;
}

HBRUSH EditColours::paint(HDC dc) {
  const win::Colours painted = PaintedNow(ColourRole::Text, {back_, fore_});
  const COLORREF back = win::Resolve(painted.back);
  ::SetTextColor(dc, win::Resolve(painted.fore));
  ::SetBkColor(dc, back);
  if (!brush_ || brushColour_ != back) {
    brush_.reset(::CreateSolidBrush(back));
    brushColour_ = back;
  }
  return brush_.get();
}

bool NoteControls::create(HWND form, win::PointerListener& listener, unsigned dpi, const NoteGeometry& at) {
  form_ = form;
  dpi_ = dpi;
  createFonts();

  // Each control is made where it goes and in its place among its siblings, top first (a new control
  // goes below those made before it): moving them afterwards costs a round trip each as the note starts.
  // The title editor and the body's frame lie over the title label's lower part.
  using Align = win::Label::Align;
  using win::kAppWorkspace, win::kButtonText;
  const auto make = [&](win::Label& label, int id, const wchar_t* caption, const win::Label::Look& look, Slot slot,
                        const TwipRect& rect) {
    label.reportPointerTo(listener);
    return label.create(form, id, caption, look, recordPlace(slot, rect));
  };
  titleEditor = CreateEdit(form, kTitleEditorId, WS_TABSTOP | ES_AUTOHSCROLL,
                           recordPlace(kTitleEditorSlot, at.titleEditor));
  if (!titleEditor) return false;
  if (!make(bodyFrame, kBodyFrameId, L"", {kPaleYellow, kButtonText, nullptr, Align::Left}, kBodyFrameSlot,
            at.bodyFrame))
    return false;
  body = CreateEdit(bodyFrame.hwnd(), kBodyId, WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                    recordPlace(kBodySlot, at.body));
  if (!body) return false;
  ::SendMessageW(body, EM_SETLIMITTEXT, 0, 0);  // as long as the system allows
  ::SendMessageW(body, WM_SETFONT, reinterpret_cast<WPARAM>(bodyFont_.get()), FALSE);

  bool ok = true;
  ok &= make(plusButton, kPlusButtonId, L"+", {kYellow, kAppWorkspace, plusFont_.get(), Align::Left}, kPlusSlot,
             at.plusButton);
  ok &= make(closeButton, kCloseButtonId, L"x", {kYellow, kAppWorkspace, crossFont_.get(), Align::Left}, kCloseSlot,
             at.closeButton);
  ok &= make(title, kTitleId, L"", {kYellow, kButtonText, titleFont_.get(), Align::Centre, /*wrap=*/true}, kTitleSlot,
             at.title);
  ok &= make(grip, kGripId, L"", {kYellow, kButtonText, nullptr, Align::Left}, kGripSlot, at.grip);
  ok &= make(startTime, kStartTimeId, L"", {kPaleYellow, kButtonText, timeFont_.get(), Align::Right}, kStartTimeSlot,
             at.startTime);
  ok &= make(sideStrip, kSideStripId, L"", {kPaleYellow, kButtonText, nullptr, Align::Left}, kSideStripSlot,
             at.sideStrip);
  return ok;
}

RECT NoteControls::recordPlace(Slot slot, const TwipRect& rect) {
  placed_[slot] = ToPixels(rect, dpi_);
  return placed_[slot];
}

void NoteControls::ensureTooltips() {
  if (tooltip_) return;
  win::CommonControlsScope commonControls;
  tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                               0, 0, form_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!tooltip_) return;
  ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
  addTooltip(title.hwnd(), L"双击添加标题,右键弹出菜单");
  addTooltip(body, L"亲,ctrl+↑和ctrl+↓可以调整字体大小的哦(^-^)");
  addTooltip(grip.hwnd(), L"托动改变大小,双击恢复默认大小.");
}

void NoteControls::ensureTitleEditorFont() {
  const auto font = reinterpret_cast<WPARAM>(editorFont_.get());
  if (static_cast<WPARAM>(::SendMessageW(titleEditor, WM_GETFONT, 0, 0)) != font)
    ::SendMessageW(titleEditor, WM_SETFONT, font, FALSE);
}

void NoteControls::addTooltip(HWND control, const wchar_t* text) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = form_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(text);
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void NoteControls::place(const NoteGeometry& g, unsigned dpi) {
  const std::tuple<Slot, HWND, const TwipRect*> places[] = {
      {kPlusSlot, plusButton.hwnd(), &g.plusButton}, {kCloseSlot, closeButton.hwnd(), &g.closeButton},
      {kTitleSlot, title.hwnd(), &g.title},          {kTitleEditorSlot, titleEditor, &g.titleEditor},
      {kBodyFrameSlot, bodyFrame.hwnd(), &g.bodyFrame}, {kBodySlot, body, &g.body},
      {kGripSlot, grip.hwnd(), &g.grip},              {kStartTimeSlot, startTime.hwnd(), &g.startTime},
      {kSideStripSlot, sideStrip.hwnd(), &g.sideStrip}};
  for (const auto& [slot, control, rect] : places) {
    const RECT pixels = ToPixels(*rect, dpi);
    if (::EqualRect(&pixels, &placed_[slot])) continue;
    placed_[slot] = pixels;
    ::SetWindowPos(control, nullptr, pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void NoteControls::createFonts() {
  plusFont_.reset(MakeFont(18, dpi_, true, false));
  crossFont_.reset(MakeFont(15.75f, dpi_, true, false));
  titleFont_.reset(MakeFont(14.25f, dpi_, false, false));
  editorFont_.reset(MakeFont(14.25f, dpi_, false, true));
  bodyFont_.reset(MakeFont(bodyPoints_, dpi_, false, false));
  timeFont_.reset(MakeFont(10.5f, dpi_, false, false));
}

void NoteControls::setDpi(unsigned dpi) {
  // The new fonts go into the controls before the old ones are deleted.
  win::UniqueFont old[] = {std::move(plusFont_),  std::move(crossFont_), std::move(titleFont_),
                           std::move(editorFont_), std::move(bodyFont_), std::move(timeFont_)};
  dpi_ = dpi;
  createFonts();
  plusButton.setFont(plusFont_.get());
  closeButton.setFont(crossFont_.get());
  title.setFont(titleFont_.get());
  startTime.setFont(timeFont_.get());
  ::SendMessageW(body, WM_SETFONT, reinterpret_cast<WPARAM>(bodyFont_.get()), TRUE);
  ::SendMessageW(titleEditor, WM_SETFONT, reinterpret_cast<WPARAM>(editorFont_.get()), TRUE);
}

void NoteControls::setBodyPoints(float points) {
  win::UniqueFont old = std::move(bodyFont_);
  bodyPoints_ = points;
  bodyFont_.reset(MakeFont(bodyPoints_, dpi_, false, false));
  ::SendMessageW(body, WM_SETFONT, reinterpret_cast<WPARAM>(bodyFont_.get()), TRUE);
}

const win::Label* NoteControls::label(int id) const {
  switch (id) {
    case kPlusButtonId: return &plusButton;
    case kCloseButtonId: return &closeButton;
    case kTitleId: return &title;
    case kGripId: return &grip;
    case kStartTimeId: return &startTime;
    case kSideStripId: return &sideStrip;
    case kBodyFrameId: return &bodyFrame;
    default: return nullptr;
  }
}

win::Label* NoteControls::label(int id) { return const_cast<win::Label*>(std::as_const(*this).label(id)); }

HWND NoteControls::window(int id) const {
  switch (id) {
    case kBodyId: return body;
    case kTitleEditorId: return titleEditor;
    case kFormId: return form_;
    default: {
      const win::Label* found = label(id);
      return found ? found->hwnd() : nullptr;
    }
  }
}

}  // namespace stickwell::note
