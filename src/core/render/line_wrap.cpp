// Breaking an entry's text again when a line is too wide for the frame.
#include "render/line_wrap.h"

#include <cstdlib>

#include "render/line_length_check.h"
#include "render/subtitle_renderer.h"

namespace quillet {

std::optional<BrokenLines> BreakLongLines(FontEngine& engine, std::string_view line1, std::string_view line2,
                                          const FontDesc& font) {
  if (LinesFitWidth(MeasureSubtitleLines(engine, line1, line2, font))) return std::nullopt;
  std::string text(line1);
  if (!line1.empty() && !line2.empty()) text += ' ';
  text.append(line2);
  const std::string_view all = text;

  // A space or a tab (which is laid out as a space) is a blank in every charset: no double-byte code page
  // uses either as the second byte of a character.
  constexpr std::string_view kBlanks = " \t";
  const auto isBlank = [&](char c) { return kBlanks.find(c) != std::string_view::npos; };
  std::optional<BrokenLines> best;
  int bestDifference = 0;
  for (std::size_t at = all.find_first_of(kBlanks); at != std::string_view::npos;
       at = all.find_first_of(kBlanks, at + 1)) {
    std::size_t leftEnd = at;
    while (leftEnd > 0 && isBlank(all[leftEnd - 1])) --leftEnd;
    std::size_t rightStart = at;
    while (rightStart < all.size() && isBlank(all[rightStart])) ++rightStart;
    if (leftEnd == 0 || rightStart == all.size()) continue;
    const std::string_view left = all.substr(0, leftEnd);
    const std::string_view right = all.substr(rightStart);
    const LineMeasures measures = MeasureSubtitleLines(engine, left, right, font);
    if (!LinesFitWidth(measures)) continue;
    const int difference = std::abs(measures.w1 - measures.w2);
    // On a tie the earlier break wins, which puts the shorter line on top.
    if (!best || difference < bestDifference) {
      best = BrokenLines{std::string(left), std::string(right)};
      bestDifference = difference;
    }
    at = rightStart - 1;  // a run of blanks is one break
  }
  return best;
}

}  // namespace quillet
