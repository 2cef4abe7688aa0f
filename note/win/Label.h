#pragma once
// The note's labels ("+", "x", the title, the strips, the grip) and the body's frame: a small child
// window that paints its caption with its own colours and font, and tells the form about every
// pointer move, press, release, click and double-click over it.
#include <string>
#include <string_view>

#include "note/win/Colour.h"
#include "shared/win/Window.h"

namespace stickwell::note {

struct PointerEvent {
  enum class Kind { Move, Press, Release, Click, DoubleClick };
  Kind kind = Kind::Move;
  int buttons = 0;    // held (Move) or pressed/released (the others): 1 left, 2 right, 4 middle
  int modifiers = 0;  // 1 Shift, 2 Ctrl, 4 Alt
  POINT pixel{};      // relative to the control's top-left corner; negative left of or above it
};

// The form side of a label: where its pointer events go.
class PointerListener {
 public:
  virtual void onPointer(int controlId, const PointerEvent& event) = 0;

 protected:
  ~PointerListener() = default;
};

// The modifier keys held now, as in PointerEvent::modifiers.
int HeldModifiers();

// Reads a pointer message of any window into an event; false for other messages.
bool ReadPointerMessage(UINT message, WPARAM wParam, LPARAM lParam, PointerEvent& event);

class Label : public win::Window {
 public:
  enum class Align { Left, Centre, Right };

  struct Look {
    ColourValue back = kYellow;
    ColourValue fore = kButtonText;
    HFONT font = nullptr;  // not owned
    Align align = Align::Left;
    bool wrap = false;  // break long captions into lines at word boundaries
  };

  // Creates the label as child `id` of `parent`; pointer events go to `listener`. Messages from
  // children of the label (the body inside its frame) are passed on to `form`.
  bool create(HWND parent, HWND form, int id, std::wstring_view caption, const Look& look, PointerListener& listener);

  int id() const { return id_; }
  std::wstring caption() const;
  void setCaption(std::wstring_view caption);
  ColourValue backColour() const { return look_.back; }
  void setBackColour(ColourValue colour);
  ColourValue foreColour() const { return look_.fore; }
  void setForeColour(ColourValue colour);
  void setFont(HFONT font);

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void paint();

  HWND form_ = nullptr;
  int id_ = 0;
  Look look_;
  PointerListener* listener_ = nullptr;
  bool clickPending_ = false;  // the left button went down here and has not come up yet
};

}  // namespace stickwell::note
