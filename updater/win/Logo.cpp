#include "updater/win/Logo.h"

#include "shared/win/WinHandles.h"

namespace stickwell::updater {
namespace {

int Mix(int from, int to, int step, int steps) { return from + (to - from) * step / (steps > 0 ? steps : 1); }

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  const win::UniqueBrush brush(::CreateSolidBrush(colour));
  ::FillRect(dc, &rect, brush.get());
}

// A square note with its lower right corner folded over.
void PaintNote(HDC dc, int left, int top, int size, COLORREF paper, COLORREF fold) {
  const int corner = size / 4;
  POINT outline[] = {{left, top}, {left + size, top}, {left + size, top + size - corner},
                     {left + size - corner, top + size}, {left, top + size}};
  POINT flap[] = {{left + size, top + size - corner}, {left + size - corner, top + size},
                  {left + size - corner, top + size - corner}};
  const win::UniquePen edge(::CreatePen(PS_SOLID, 1, RGB(200, 160, 40)));
  const win::UniqueBrush paperBrush(::CreateSolidBrush(paper));
  const win::UniqueBrush foldBrush(::CreateSolidBrush(fold));
  const win::SelectGuard pen(dc, edge.get());
  {
    const win::SelectGuard brush(dc, paperBrush.get());
    ::Polygon(dc, outline, 5);
  }
  const win::SelectGuard brush(dc, foldBrush.get());
  ::Polygon(dc, flap, 3);
}

}  // namespace

void PaintLogo(HDC dc, const RECT& banner) {
  const int height = banner.bottom - banner.top;
  const int width = banner.right - banner.left;
  // Top to bottom: pale cream to a warm orange.
  for (int y = 0; y < height; ++y) {
    const RECT line{banner.left, banner.top + y, banner.right, banner.top + y + 1};
    FillSolid(dc, line, RGB(Mix(255, 255, y, height), Mix(248, 176, y, height), Mix(220, 64, y, height)));
  }
  const int size = height * 3 / 5;
  const int top = banner.top + (height - size) / 2;
  PaintNote(dc, banner.right - width / 4, top - size / 6, size, RGB(255, 255, 128), RGB(230, 210, 90));
  PaintNote(dc, banner.right - width / 4 + size * 2 / 3, top + size / 5, size, RGB(255, 192, 192), RGB(230, 150, 150));
  PaintNote(dc, banner.right - width / 4 - size * 2 / 3, top + size / 4, size, RGB(192, 192, 255), RGB(150, 150, 230));
}

}  // namespace stickwell::updater
