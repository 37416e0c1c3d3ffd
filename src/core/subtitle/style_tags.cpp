// Removal of the style tags a subtitle line may carry.
#include <array>
#include <cstddef>

#include "base/ascii_text.h"
#include "subtitle/subtitle.h"

namespace quillet {
namespace {

// The tags subtitle tools write: italic, bold, underline, strikeout and font, opening or closing.
constexpr std::array<std::string_view, 5> kTagNames = {"font", "i", "b", "u", "s"};

// Length of the tag starting at text[0] (which is '<'), or 0 when no removable tag starts there: "<", an optional
// "/", a tag name in any letter case, then ">" or a blank and anything up to the next ">" (attributes).
// "<fontsize>" and "<bold>" are not tags. `lastClose` is the position of the last '>' in `text` (npos when none),
// so an unclosed "<font" costs no scan to the end.
std::size_t TagLengthAt(std::string_view text, std::size_t lastClose, const TextCharacters& characters) {
  std::size_t at = 1;
  if (at < text.size() && text[at] == '/') ++at;
  for (std::string_view name : kTagNames) {
    if (!EqualsIgnoringAsciiCase(text.substr(at, name.size()), name)) continue;
    const std::size_t nameEnd = at + name.size();
    if (nameEnd >= text.size()) return 0;
    if (text[nameEnd] == '>') return nameEnd + 1;
    if (text[nameEnd] != ' ' && text[nameEnd] != '\t') continue;
    if (lastClose == std::string_view::npos || lastClose < nameEnd) return 0;
    return characters.Find(text, '>', nameEnd) + 1;
  }
  return 0;
}

}  // namespace

// One pass from left to right: at each "<" the tag that starts there, if any, is skipped. Removed tags are not
// looked at again, so "<<i>b>" leaves "<b>" and nothing hangs on text made only of tags.
std::string TSubtitle::RemoveTags(std::string_view text, const TextCharacters& characters) {
  std::string result;
  result.reserve(text.size());
  const std::size_t lastClose = characters.FindLast(text, '>');
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t open = characters.Find(text, '<', i);
    if (open == std::string_view::npos) break;
    const bool closedLater = lastClose != std::string_view::npos && lastClose > open;
    std::size_t length =
        TagLengthAt(text.substr(open), closedLater ? lastClose - open : std::string_view::npos, characters);
    result.append(text, i, open - i + (length == 0 ? 1 : 0));
    i = open + (length == 0 ? 1 : length);
  }
  result.append(text, i);
  return result;
}

}  // namespace quillet
