// Removal of the style tags a subtitle line may carry.
#include <array>
#include <cstddef>

#include "base/ascii_text.h"
#include "subtitle/subtitle.h"

namespace quillet {
namespace {

constexpr std::array<std::string_view, 12> kStyleTags = {"<u>",  "<b>",  "<i>",  "<U>",  "<B>",  "<I>",
                                                         "</u>", "</b>", "</i>", "</U>", "</B>", "</I>"};

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(text[i]) != prefix[i]) return false;
  }
  return true;
}

// Length of the tag starting at text[0] (which is '<'), or 0 when no removable tag starts there. `lastClose` is
// the position of the last '>' in `text` (npos when none), so an unclosed "<font" costs no scan to the end.
std::size_t TagLengthAt(std::string_view text, std::size_t lastClose) {
  for (std::string_view tag : kStyleTags) {
    if (text.starts_with(tag)) return tag.size();
  }
  // <font ...> with any attributes, and </font>; both in any letter case. "<fontsize>" is not a font tag.
  std::size_t nameEnd = 0;
  if (StartsWithIgnoringCase(text, "<font")) {
    nameEnd = 5;
  } else if (StartsWithIgnoringCase(text, "</font")) {
    nameEnd = 6;
  } else {
    return 0;
  }
  if (nameEnd < text.size() && text[nameEnd] != '>' && text[nameEnd] != ' ' && text[nameEnd] != '\t') return 0;
  if (lastClose == std::string_view::npos || lastClose < nameEnd) return 0;
  return text.find('>', nameEnd) + 1;
}

}  // namespace

// One pass from left to right: at each "<" the tag that starts there, if any, is skipped. Removed tags are not
// looked at again, so "<<i>b>" leaves "<b>" and nothing hangs on text made only of tags.
std::string TSubtitle::RemoveTags(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  const std::size_t lastClose = text.rfind('>');
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t open = text.find('<', i);
    if (open == std::string_view::npos) break;
    const bool closedLater = lastClose != std::string_view::npos && lastClose > open;
    std::size_t length = TagLengthAt(text.substr(open), closedLater ? lastClose - open : std::string_view::npos);
    result.append(text, i, open - i + (length == 0 ? 1 : 0));
    i = open + (length == 0 ? 1 : length);
  }
  result.append(text, i);
  return result;
}

}  // namespace quillet
