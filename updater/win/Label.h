#pragma once
// A line of text the updater's windows draw themselves: own colour, own font, and a left-button press
// that can lead somewhere (the official site).
#include <windows.h>

#include <functional>
#include <string>

#include "shared/win/Window.h"

namespace stickwell::updater {

class Label : public win::Window {
 public:
  // Paints what lies behind the label (for a label drawn over a picture); null fills with the
  // parent's background colour.
  using BackgroundPainter = std::function<void(HDC dc, const RECT& labelInParent)>;

  bool create(HWND parent, int id, const std::wstring& text, const RECT& pixels, UINT format = DT_LEFT);
  void setText(const std::wstring& text);
  void setColour(COLORREF colour);
  void setFont(HFONT font);  // not owned
  void setBackground(COLORREF colour);
  void setBackgroundPainter(BackgroundPainter painter) { backgroundPainter_ = std::move(painter); }
  void onLeftPress(std::function<void()> action) { leftPress_ = std::move(action); }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void paint(HDC dc);

  std::wstring text_;
  COLORREF colour_ = RGB(0, 0, 0);
  COLORREF background_ = ::GetSysColor(COLOR_BTNFACE);
  HFONT font_ = nullptr;
  UINT format_ = DT_LEFT;
  BackgroundPainter backgroundPainter_;
  std::function<void()> leftPress_;
};

}  // namespace stickwell::updater
