#pragma once
// The labels of both programs: a small child window that paints its caption with its own colours,
// font and alignment. A label can tell its form about every pointer move, press, release, click and
// double-click over it (the note's "+", "x", title, strips and grip), or lead somewhere on a left
// press under the hand pointer (the updater's link to the official site). A label over a picture
// has the picture painted behind its caption.
#include <functional>
#include <string>
#include <string_view>

#include "shared/win/Accessible.h"
#include "shared/win/Colour.h"
#include "shared/win/Contrast.h"
#include "shared/win/PointerEvent.h"
#include "shared/win/Window.h"

namespace stickwell::win {

class Label : public Window {
 public:
  enum class Align { Left, Centre, Right };

  struct Look {
    ColourValue back = kButtonFace;
    ColourValue fore = kButtonText;
    HFONT font = nullptr;  // not owned; null: the default GUI font
    Align align = Align::Left;
    bool wrap = false;      // break long captions into lines at word boundaries
    bool middle = false;    // a single line centred from top to bottom
    // The colours shown instead in a high-contrast theme, with no picture behind the caption; null:
    // the label keeps its own colours.
    ContrastChoice contrast = nullptr;
  };

  // Paints what lies behind the label, in its parent's coordinates.
  using BackgroundPainter = std::function<void(HDC dc, const RECT& labelInParent)>;

  // Creates the label as child `id` of `parent` at `pixels` (the parent's client coordinates).
  // Messages from the label's own children (the note's body inside its frame) go on to `parent`.
  bool create(HWND parent, int id, std::wstring_view caption, const Look& look, const RECT& pixels = {});

  // Pointer events over the label go to `listener`. Like a button, the label then keeps the pointer
  // while a button is held.
  void reportPointerTo(PointerListener& listener) { listener_ = &listener; }
  // A left press runs `action`; the pointer is a hand over the label.
  void onLeftPress(std::function<void()> action) { leftPress_ = std::move(action); }
  void setBackgroundPainter(BackgroundPainter painter) { backgroundPainter_ = std::move(painter); }
  // What a screen reader is told about the label; its default action runs `accessible.run`.
  void describe(Accessible accessible) { accessible_ = std::move(accessible); }

  int id() const { return id_; }
  std::wstring caption() const;
  void setCaption(std::wstring_view caption);
  ColourValue backColour() const { return look_.back; }
  void setBackColour(ColourValue colour);
  ColourValue foreColour() const { return look_.fore; }
  void setForeColour(ColourValue colour);
  void setFont(HFONT font);
  void setContrast(ContrastChoice choice) { look_.contrast = choice; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void paint(HDC dc);
  void onPointer(const PointerEvent& event, WPARAM keys);

  int id_ = 0;
  Look look_;
  PointerListener* listener_ = nullptr;
  std::function<void()> leftPress_;
  BackgroundPainter backgroundPainter_;
  Accessible accessible_;
  bool clickPending_ = false;  // the left button went down here and has not come up yet
};

}  // namespace stickwell::win
