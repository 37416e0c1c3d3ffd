// Removal of the style tags a subtitle line may carry.
#include <array>
#include <cstddef>

#include "base/ascii_text.h"
#include "subtitle/markup.h"
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

// What a removed tag at text[0] says: "<i>" opens italic, "</i>" closes it (the same for "b" and "u"); a font tag
// with a colour notes it.
void FollowTag(std::string_view tag, StyleFlags& open, bool& colour) {
  const bool closing = tag.size() > 1 && tag[1] == '/';
  const std::string_view name = tag.substr(closing ? 2 : 1);
  if (name.empty()) return;
  const char letter = static_cast<char>(name[0] | 0x20);
  const bool single = name.size() > 1 && (name[1] == '>' || name[1] == ' ' || name[1] == '\t');
  if (!single) {
    if (!closing && letter == 'f' && name.find("olor") != std::string_view::npos) colour = true;
    return;
  }
  if (letter == 'i') open.italic = !closing;
  if (letter == 'b') open.bold = !closing;
  if (letter == 'u') open.underline = !closing;
}

// One pass from left to right: at each "<" the tag that starts there, if any, is skipped. Removed tags are not
// looked at again, so "<<i>b>" leaves "<b>" and nothing hangs on text made only of tags. With `open`, the tags'
// styles are followed and the kept bytes' styles go to `runs`.
std::string RemoveTagsFollowing(std::string_view text, const TextCharacters& characters, StyleFlags* open,
                                StyleRuns* runs, bool* colour) {
  std::string result;
  result.reserve(text.size());
  const std::size_t lastClose = characters.FindLast(text, '>');
  auto keep = [&](std::size_t from, std::size_t count) {
    if (open != nullptr) AddStyleRun(*runs, result.size(), result.size() + count, *open);
    result.append(text, from, count);
  };
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t at = characters.Find(text, '<', i);
    if (at == std::string_view::npos) break;
    const bool closedLater = lastClose != std::string_view::npos && lastClose > at;
    std::size_t length =
        TagLengthAt(text.substr(at), closedLater ? lastClose - at : std::string_view::npos, characters);
    keep(i, at - i + (length == 0 ? 1 : 0));
    if (length > 0 && open != nullptr) FollowTag(text.substr(at, length), *open, *colour);
    i = at + (length == 0 ? 1 : length);
  }
  keep(i, text.size() - i);
  return result;
}

}  // namespace

std::string TSubtitle::RemoveTags(std::string_view text, const TextCharacters& characters) {
  return RemoveTagsFollowing(text, characters, nullptr, nullptr, nullptr);
}

std::string RemoveStyleTags(std::string_view text, const TextCharacters& characters, StyleFlags& open, StyleRuns& runs,
                            bool& colour) {
  return RemoveTagsFollowing(text, characters, &open, &runs, &colour);
}

}  // namespace quillet
