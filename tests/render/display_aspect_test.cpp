// A 16:9 frame: glyphs drawn squeezed across to 3/4, at their full height, through the font's own scale.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "render/bit_mask.h"
#include "render/font_engine.h"
#include "render_test_support.h"

namespace quillet {
namespace {

// The box around the line's ink as the drawing paints it: left, top, width, height.
std::array<int, 4> InkOf(const LineLayout& layout) {
  const BitMask mask = MaskFromLayout(layout);
  int left = mask.width, top = mask.height, right = -1, bottom = -1;
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      if (mask.Test(x, y)) left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = y;
    }
  }
  return {mask.left + left, mask.top + top, right - left + 1, bottom - top + 1};
}

// The standard frame is the default, and a squeezed size of a face leaves the standard size's glyphs alone.
TEST(DisplayAspect, WideFrameSqueezesTheInkToThreeQuartersAndKeepsItsHeight) {
  using test::Font;
  EXPECT_EQ(Font(20).aspect, DisplayAspect::Standard4x3);
  const std::pair<FontDesc, std::string> cases[] = {
      {Font(20), "The quick brown fox jumps over the lazy dog"},
      {Font(40, StyleFromText("Bold")), "Wide screen, narrow letters"},
      {Font(24, StyleFromText("Italic"), "DejaVu Sans Mono"), "Mono slanted text"},  // a synthetic italic face
      {Font(20), "\u0645\u0631\u062D\u0628\u0627 \u0628\u0643\u0645"},               // shaped Arabic
      {Font(20), "Cafe\u0301 cre\u0300me"},                                          // accented, shaped
  };
  FontEngine& engine = test::SharedEngine();
  for (const auto& [font, line] : cases) {
    SCOPED_TRACE(line);
    FontDesc squeezed = font;
    squeezed.aspect = DisplayAspect::Wide16x9;
    const LineLayout standard = engine.LayoutLine(font, line), wide = engine.LayoutLine(squeezed, line);
    const std::array<int, 4> a = InkOf(standard), b = InkOf(wide);
    EXPECT_NEAR(b[2], a[2] * 3.0 / 4.0, 2.0);
    EXPECT_EQ(std::tie(b[1], b[3]), std::tie(a[1], a[3])) << "top and height";
    EXPECT_NEAR(wide.widthPx, standard.widthPx * 3.0 / 4.0, 1.0) << "advances scale too";
    EXPECT_EQ(std::tie(wide.heightPx, wide.ascentPx), std::tie(standard.heightPx, standard.ascentPx));
    EXPECT_EQ(engine.LayoutLine(font, line).glyphs.front().glyph, standard.glyphs.front().glyph) << "standard kept";
  }
}

}  // namespace
}  // namespace quillet
