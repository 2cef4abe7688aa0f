#pragma once
#include <windows.h>

namespace stickwell::updater {

// The banner across the top of the offer window: a warm gradient with a few sticky notes on it.
void PaintLogo(HDC dc, const RECT& banner);

}  // namespace stickwell::updater
