#pragma once
// The five seconds between the last file written and the note program's restart.
#include <string>

namespace stickwell::updater {

inline constexpr int kCountdownSeconds = 5;

// "更新完成，" + seconds + "秒钟后自动关闭本窗口".
std::u16string CountdownText(int secondsLeft);

struct CountdownStep {
  bool finished = false;   // close the window and start the note program
  std::u16string status;   // otherwise the new status line
};

// One tick of the one-second timer; `ticks` counts the ticks so far.
CountdownStep AdvanceCountdown(int& ticks);

}  // namespace stickwell::updater
