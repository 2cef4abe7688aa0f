#pragma once
// How a fetch of the update page ended, as the note's cores take it.
#include "note/core/PageAnswer.h"
#include "shared/win/HttpFetch.h"

namespace stickwell::note {

inline PageAnswer AnswerOf(win::FetchStatus status) {
  switch (status) {
    case win::FetchStatus::Ok: return PageAnswer::Arrived;
    case win::FetchStatus::NotConnected: return PageAnswer::NotConnected;
    case win::FetchStatus::Failed: return PageAnswer::Failed;
  }
  return PageAnswer::Failed;
}

}  // namespace stickwell::note
