// "Break long lines" / --wrap over a whole document.
#include "app/long_lines.h"

#include <array>
#include <string_view>

#include "render/line_wrap.h"

namespace quillet {

int WrapLineLimit(const RenderSettings& render) {
  // With the file's styles a third line is drawn; in the plain mode lines 1 and 2 are, and a third is named.
  return render.stylesFromFile ? 3 : 2;
}

int BreakLongLinesOfDocument(TSubtitle& document, FontEngine& engine, const FontDesc& font, int maxLines) {
  int broken = 0;
  for (SubtitleLine& line : document.Lines) {
    const std::array<std::string_view, 3> lines{line.Line1, line.Line2, line.Line3};
    std::optional<BrokenLines> wrapped = BreakLongLines(engine, lines, font, maxLines);
    if (!wrapped) continue;
    std::string* targets[] = {&line.Line1, &line.Line2, &line.Line3};
    for (int k = 0; k < maxLines && k < kMaxWrappedLines; ++k) {
      *targets[k] = std::move(wrapped->lines[static_cast<std::size_t>(k)]);
    }
    // The runs named bytes of the lines as read; the broken lines are drawn in the chosen style.
    for (StyleRuns& runs : line.Style.runs) runs.clear();
    ++broken;
  }
  return broken;
}

}  // namespace quillet
