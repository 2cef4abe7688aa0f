#pragma once
// How a read of the update page ended, as the note's update check and its message push meet it.

namespace stickwell::note {

enum class PageAnswer {
  NotConnected,  // the machine is offline: nothing was asked
  Failed,        // no answer, an error, a cut-off body, or the time-out passed
  Arrived,       // the whole page is here
};

}  // namespace stickwell::note
