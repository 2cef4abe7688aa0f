#include "note/core/NoteFile.h"

namespace stickwell::note {
namespace {

std::u16string Number(int value) {
  std::u16string digits;
  unsigned rest = value < 0 ? 0u : static_cast<unsigned>(value);
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + rest % 10));
    rest /= 10;
  } while (rest != 0);
  return digits;
}

std::u16string TwoDigits(int value) {
  std::u16string digits = Number(value);
  if (digits.size() < 2) digits.insert(digits.begin(), u'0');
  return digits;
}

}  // namespace

std::u16string NoteFileName(const ClockReading& clock, int copy) {
  std::u16string name = Number(clock.month) + u'-' + Number(clock.day) + u' ' + TwoDigits(clock.hour) + u'-' +
                        TwoDigits(clock.minute) + u'-' + TwoDigits(clock.second);
  if (copy > 1) name += u" (" + Number(copy) + u')';
  return name + u".txt";
}

std::u16string StartTimeCaption(const ClockReading& clock) {
  return Number(clock.month) + u'-' + Number(clock.day) + u' ' + TwoDigits(clock.hour) + u':' +
         TwoDigits(clock.minute) + u"  ";
}

}  // namespace stickwell::note
