// The direction of each character of a line and the left-to-right order of its runs (FriBidi).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quillet {

// The paragraph direction of every line: Auto takes it from the line's first strong character (left to right when
// there is none), so a Hebrew line with a Latin word is a right-to-left line and a Latin line with a Hebrew word a
// left-to-right one. Ltr and Rtl set it for every line, as players that lay lines out one way do (a Hebrew line
// whose full stop is stored first shows it at the end under Ltr).
enum class BaseDirection : uint8_t { Auto, Ltr, Rtl };

// Embedding levels of a line's code points: even runs left to right, odd right to left.
struct BidiLevels {
  std::vector<uint8_t> levels;  // one per code point
};
BidiLevels ResolveBidiLevels(std::u32string_view text, BaseDirection direction = BaseDirection::Auto);

// The visual order of runs with the given levels (the runs in logical order): from the highest level down to
// the lowest odd one, every maximal sequence of runs at that level or above is reversed. Returns run indexes,
// leftmost first.
std::vector<int> VisualRunOrder(std::span<const uint8_t> runLevels);

}  // namespace quillet
