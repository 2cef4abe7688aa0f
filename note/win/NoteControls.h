#pragma once
// The note window's controls: their creation with the note's colours, fonts, captions and tooltips,
// and their placement in pixels from the layout's twips at the window's DPI.
#include <windows.h>

#include "note/core/Layout.h"
#include "note/win/Colour.h"
#include "shared/win/Label.h"
#include "shared/win/WinHandles.h"

namespace stickwell::note {

// Colours of a text box, and the brush its background is painted with.
class EditColours {
 public:
  EditColours(win::ColourValue back, win::ColourValue fore) : back_(back), fore_(fore) {}
  win::ColourValue back() const { return back_; }
  win::ColourValue fore() const { return fore_; }
  void set(win::ColourValue back, win::ColourValue fore);
  // Answers WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC for the box: its colours, or a page's system colours
  // in a high-contrast theme.
  HBRUSH paint(HDC dc);

 private:
  win::ColourValue back_;
  win::ColourValue fore_;
  win::UniqueBrush brush_;
  COLORREF brushColour_ = 0;  // what the brush paints: the system's colours can change under it
};

class NoteControls {
 public:
  // Creates every control of the form where `geometry` puts it; place() moves those that must move.
  bool create(HWND form, win::PointerListener& listener, unsigned dpi, const NoteGeometry& geometry);
  void place(const NoteGeometry& geometry, unsigned dpi);
  // The tooltips of the title, the body and the grip. Made when the pointer first comes over the note,
  // not at start-up: a note should take keys as soon as it shows.
  void ensureTooltips();
  // The title editor's font, given when the editor first opens: realizing a typeface costs a start-up
  // about as much as making a control.
  void ensureTitleEditorFont();
  // Fonts follow the DPI: the text stays the same size in points, and sharp.
  void setDpi(unsigned dpi);

  // The body's font size in points (the title's fonts never change).
  float bodyPoints() const { return bodyPoints_; }
  void setBodyPoints(float points);

  // The labels and the body frame by control id; nullptr for another id.
  win::Label* label(int id);
  const win::Label* label(int id) const;
  HWND window(int id) const;

  win::Label plusButton, closeButton, title, bodyFrame, grip, startTime, sideStrip;
  HWND body = nullptr;  // destroyed with its frame
  HWND titleEditor = nullptr;  // destroyed with the form
  EditColours bodyColours{kPaleYellow, win::kWindowText};
  EditColours titleEditorColours{win::kWindowBack, win::kWindowText};

 private:
  // Where each control was last put, in pixels of its parent.
  enum Slot { kPlusSlot, kCloseSlot, kTitleSlot, kTitleEditorSlot, kBodyFrameSlot, kBodySlot, kGripSlot,
              kStartTimeSlot, kSideStripSlot, kSlots };

  void createFonts();
  void addTooltip(HWND control, const wchar_t* text);
  RECT recordPlace(Slot slot, const TwipRect& rect);

  HWND form_ = nullptr;
  HWND tooltip_ = nullptr;  // owned by the form, destroyed with it
  unsigned dpi_ = 96;
  RECT placed_[kSlots] = {};
  float bodyPoints_ = 15.75f;
  win::UniqueFont plusFont_, crossFont_, titleFont_, editorFont_, bodyFont_, timeFont_;
};

}  // namespace stickwell::note
