#include <algorithm>

#include "shared/Text.h"

namespace stickwell {
namespace {

// Both ways of removing work inside the text itself: what is kept is moved towards the front and never
// overtakes what is still to be read, so a page is cleaned without another buffer of its size.

// The rule as stated: delete every non-overlapping occurrence in one left-to-right pass, then look
// again. Only patterns that can overlap themselves need this; each pass reads the whole text.
void RemoveInPasses(std::u16string& text, std::u16string_view pattern, std::size_t hit) {
  while (hit != std::u16string::npos) {
    std::size_t kept = hit;
    std::size_t from = hit + pattern.size();
    for (hit = FindText(text, pattern, from); hit != std::u16string::npos; hit = FindText(text, pattern, from)) {
      kept = static_cast<std::size_t>(std::copy(text.begin() + from, text.begin() + hit, text.begin() + kept) - text.begin());
      from = hit + pattern.size();
    }
    kept = static_cast<std::size_t>(std::copy(text.begin() + from, text.end(), text.begin() + kept) - text.begin());
    text.resize(kept);
    hit = FindText(text, pattern);
  }
}

// After an occurrence is cut out, the kept text (text[0, kept)) and the text still to read (from `next`
// on) meet. Removes any occurrence that now straddles the join (again and again, as each removal makes
// a new join) and returns where reading goes on; `kept` shrinks by what went.
std::size_t CloseJoin(std::u16string_view text, std::size_t& kept, std::size_t next, std::u16string_view pattern) {
  const std::size_t length = pattern.size();
  for (bool removed = true; removed;) {
    removed = false;
    const std::size_t widest = std::min(length - 1, kept);
    for (std::size_t k = 1; k <= widest; ++k) {
      const std::size_t tail = length - k;
      if (text.size() - next < tail || text[kept - k] != pattern[0]) continue;
      if (text.substr(kept - k, k) == pattern.substr(0, k) && text.substr(next, tail) == pattern.substr(k)) {
        kept -= k;
        next += tail;
        removed = true;
        break;
      }
    }
  }
  return next;
}

// For a pattern whose occurrences cannot overlap, the order of removals does not change the result,
// so one pass that also closes every join it makes gives what repeated passes would: linear work.
void RemoveInOnePass(std::u16string& text, std::u16string_view pattern, std::size_t hit) {
  std::size_t kept = hit;
  std::size_t next = hit + pattern.size();
  while (true) {
    next = CloseJoin(text, kept, next, pattern);
    hit = FindText(text, pattern, next);
    const std::size_t end = hit == std::u16string::npos ? text.size() : hit;
    kept = static_cast<std::size_t>(std::copy(text.begin() + next, text.begin() + end, text.begin() + kept) - text.begin());
    if (hit == std::u16string::npos) break;
    next = hit + pattern.size();
  }
  text.resize(kept);
}

}  // namespace

void RemoveAll(std::u16string& text, std::u16string_view pattern) {
  if (pattern.empty()) return;
  const std::size_t hit = FindText(text, pattern);
  if (hit == std::u16string::npos) return;
  if (OverlapsItself(pattern)) {
    RemoveInPasses(text, pattern, hit);
  } else {
    RemoveInOnePass(text, pattern, hit);
  }
}

}  // namespace stickwell
