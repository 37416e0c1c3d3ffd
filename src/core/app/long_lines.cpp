// "Break long lines" / --wrap over a whole document.
#include "app/long_lines.h"

#include "render/line_wrap.h"

namespace quillet {

int BreakLongLinesOfDocument(TSubtitle& document, FontEngine& engine, const FontDesc& font) {
  int broken = 0;
  for (SubtitleLine& line : document.Lines) {
    if (std::optional<BrokenLines> lines = BreakLongLines(engine, line.Line1, line.Line2, font)) {
      line.Line1 = std::move(lines->line1);
      line.Line2 = std::move(lines->line2);
      // The runs named bytes of the lines as read; the broken lines are drawn in the chosen style.
      line.Style.runs[0].clear();
      line.Style.runs[1].clear();
      ++broken;
    }
  }
  return broken;
}

}  // namespace quillet
