#pragma once
// The body's font size, changed one point at a time from the menu and from Ctrl+Up / Ctrl+Down.

namespace stickwell::note {

inline constexpr float kBodyStartPoints = 15.75f;
// The size stays on the start size's one-point grid between these limits. Below 7.75 points (about
// 10 pixels at 96 dpi) Chinese characters are no longer legible; above 99.75 points one line of text no
// longer fits the body of a note at its least size (3000 x 3000 twips leave a body about 113 points
// high), so the text could not even be seen whole.
inline constexpr float kBodyMinimumPoints = 7.75f;
inline constexpr float kBodyMaximumPoints = 99.75f;

// The size one step up (`step` 1) or down (`step` -1): exactly one point more or less, or the size
// unchanged when that would leave the limits.
float SteppedBodyPoints(float points, int step);

// The font-size keys: +1 for Up, -1 for Down, each with exactly Ctrl held (modifiers: 1 Shift, 2 Ctrl,
// 4 Alt); 0 for every other key or combination.
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyDown = 40;
int FontShortcutStep(int keyCode, int modifiers);

}  // namespace stickwell::note
