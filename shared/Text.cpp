#include <algorithm>
#include <vector>

#include "shared/Text.h"

namespace stickwell {
namespace {

// True when some proper prefix of the pattern is also its suffix ("aba"), so that two occurrences
// can overlap. Computed with the prefix function of Knuth, Morris and Pratt.
bool HasBorder(std::u16string_view pattern) {
  std::vector<std::size_t> border(pattern.size(), 0);
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    std::size_t k = border[i - 1];
    while (k > 0 && pattern[i] != pattern[k]) k = border[k - 1];
    if (pattern[i] == pattern[k]) ++k;
    border[i] = k;
  }
  return !pattern.empty() && border.back() > 0;
}

// The rule as stated: delete every non-overlapping occurrence in one left-to-right pass, then look
// again. Only self-overlapping patterns need this; each pass copies the whole text.
void RemoveInPasses(std::u16string& text, std::u16string_view pattern, std::size_t hit) {
  std::u16string rest;
  while (hit != std::u16string::npos) {
    rest.clear();
    rest.reserve(text.size());
    std::size_t from = 0;
    for (; hit != std::u16string::npos; hit = text.find(pattern, from)) {
      rest.append(text, from, hit - from);
      from = hit + pattern.size();
    }
    rest.append(text, from);
    text.swap(rest);
    hit = text.find(pattern);
  }
}

// After an occurrence is cut out, the end of `kept` and the text from `next` on meet. Removes any
// occurrence that now straddles the join (again and again, as each removal makes a new join) and
// returns where reading of the text goes on.
std::size_t CloseJoin(std::u16string& kept, std::u16string_view text, std::size_t next, std::u16string_view pattern) {
  const std::size_t length = pattern.size();
  for (bool removed = true; removed;) {
    removed = false;
    const std::size_t widest = std::min(length - 1, kept.size());
    for (std::size_t k = 1; k <= widest; ++k) {
      const std::size_t tail = length - k;
      if (text.size() - next < tail || kept[kept.size() - k] != pattern[0]) continue;
      if (std::u16string_view(kept).substr(kept.size() - k) == pattern.substr(0, k) &&
          text.substr(next, tail) == pattern.substr(k)) {
        kept.resize(kept.size() - k);
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
  std::u16string kept;
  kept.reserve(text.size() - pattern.size());
  kept.append(text, 0, hit);
  std::size_t next = 0;
  while (hit != std::u16string::npos) {
    next = CloseJoin(kept, text, hit + pattern.size(), pattern);
    hit = text.find(pattern, next);
    if (hit != std::u16string::npos) kept.append(text, next, hit - next);
  }
  kept.append(text, next);
  text.swap(kept);
}

}  // namespace

void RemoveAll(std::u16string& text, std::u16string_view pattern) {
  if (pattern.empty()) return;
  const std::size_t hit = text.find(pattern);
  if (hit == std::u16string::npos) return;
  if (HasBorder(pattern)) {
    RemoveInPasses(text, pattern, hit);
  } else {
    RemoveInOnePass(text, pattern, hit);
  }
}

}  // namespace stickwell
