// Breaking an entry's text again when a line is too wide for the frame ("Break long lines", --wrap).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "render/font_engine.h"

namespace quillet {

struct BrokenLines {
  std::string line1;
  std::string line2;
  bool operator==(const BrokenLines&) const = default;
};

// The entry's two lines as two lines that both fit the width limit (kMaxLineWidthPx), measured as they are
// drawn with `font`. The text of both lines (joined by a blank when both hold text) is broken at the blank that
// best balances the two widths; blanks at the break are dropped. Empty when the lines already fit, or when no
// break at a blank makes both fit (the width check then refuses the entry as before).
std::optional<BrokenLines> BreakLongLines(FontEngine& engine, std::string_view line1, std::string_view line2,
                                          const FontDesc& font);

}  // namespace quillet
