#pragma once
// What the note file is called and how the note tells when it was started.
#include <string>

namespace stickwell::note {

// A reading of the local clock, as far as the note cares: no year, one-second resolution.
struct ClockReading {
  int month = 1;   // 1..12
  int day = 1;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..59
};

// "M-D HH-MM-SS.txt" from the moment the note started: 1 January 00:00:05 is "1-1 00-00-05.txt".
// Notes started in the same second must not share a file, so the second one to claim the name takes
// copy 2, "1-1 00-00-05 (2).txt", the next copy 3, and so on; copy 1 is the plain name.
std::u16string NoteFileName(const ClockReading& clock, int copy = 1);

// The start time at the bottom of the note, "M-D HH:MM" and two spaces that keep it off the edge:
// 3 May 09:05 is "5-3 09:05  ".
std::u16string StartTimeCaption(const ClockReading& clock);

}  // namespace stickwell::note
