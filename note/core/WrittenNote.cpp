#include "note/core/WrittenNote.h"

namespace stickwell::note {

bool NeedsWrite(const std::optional<WrittenNote>& last, std::u16string_view title, std::u16string_view body,
                const FileStamp& now) {
  return !last || !now.exists || last->stamp != now || last->title != title || last->body != body;
}

}  // namespace stickwell::note
