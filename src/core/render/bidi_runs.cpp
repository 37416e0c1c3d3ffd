// The direction of each character of a line and the left-to-right order of its runs (FriBidi).
#include "render/bidi_runs.h"

#include <fribidi.h>

#include <algorithm>

namespace quillet {

BidiLevels ResolveBidiLevels(std::u32string_view text, BaseDirection base) {
  BidiLevels result;
  const auto length = static_cast<FriBidiStrIndex>(text.size());
  result.levels.assign(text.size(), 0);
  if (length == 0) return result;

  static_assert(sizeof(FriBidiChar) == sizeof(char32_t));
  const auto* chars = reinterpret_cast<const FriBidiChar*>(text.data());
  std::vector<FriBidiCharType> types(text.size());
  std::vector<FriBidiBracketType> brackets(text.size());
  fribidi_get_bidi_types(chars, length, types.data());
  fribidi_get_bracket_types(chars, length, types.data(), brackets.data());
  // FRIBIDI_PAR_ON: the direction of the first strong character, skipping isolated sequences.
  FriBidiParType direction = base == BaseDirection::Ltr   ? FRIBIDI_PAR_LTR
                             : base == BaseDirection::Rtl ? FRIBIDI_PAR_RTL
                                                          : FRIBIDI_PAR_ON;
  std::vector<FriBidiLevel> levels(text.size());
  if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), length, &direction, levels.data()) == 0) {
    return result;  // out of memory inside FriBidi: draw left to right
  }
  for (std::size_t i = 0; i < text.size(); ++i) result.levels[i] = static_cast<uint8_t>(levels[i]);
  return result;
}

std::vector<int> VisualRunOrder(std::span<const uint8_t> runLevels) {
  std::vector<int> order(runLevels.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  if (runLevels.empty()) return order;
  const uint8_t highest = *std::max_element(runLevels.begin(), runLevels.end());
  uint8_t lowestOdd = 255;
  for (uint8_t level : runLevels) {
    if (level % 2 == 1) lowestOdd = std::min(lowestOdd, level);
  }
  for (int level = highest; level >= lowestOdd && level > 0; --level) {
    std::size_t i = 0;
    while (i < order.size()) {
      if (runLevels[static_cast<std::size_t>(order[i])] < level) {
        ++i;
        continue;
      }
      std::size_t end = i;
      while (end < order.size() && runLevels[static_cast<std::size_t>(order[end])] >= level) ++end;
      std::reverse(order.begin() + static_cast<std::ptrdiff_t>(i), order.begin() + static_cast<std::ptrdiff_t>(end));
      i = end;
    }
  }
  return order;
}

}  // namespace quillet
