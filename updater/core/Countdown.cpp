#include "updater/core/Countdown.h"

namespace stickwell::updater {
namespace {

std::u16string Decimal(int value) {
  std::u16string digits;
  const bool negative = value < 0;
  unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) digits.insert(digits.begin(), u'-');
  return digits;
}

}  // namespace

std::u16string CountdownText(int secondsLeft) { return u"更新完成，" + Decimal(secondsLeft) + u"秒钟后自动关闭本窗口"; }

CountdownStep AdvanceCountdown(int& ticks) {
  if (ticks < kCountdownSeconds) ++ticks;
  if (ticks >= kCountdownSeconds) return {true, {}};
  return {false, CountdownText(kCountdownSeconds - ticks)};
}

}  // namespace stickwell::updater
