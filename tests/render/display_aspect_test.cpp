// A 16:9 frame: glyphs drawn squeezed across to 3/4, at their full height, through the font's own scale.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "base/utf8_text.h"
#include "render/bit_mask.h"
#include "render/font_engine.h"
#include "render_test_support.h"

namespace quillet {
namespace {

using test::Font;
using test::SharedEngine;

FontDesc Wide(FontDesc font) {
  font.aspect = DisplayAspect::Wide16x9;
  return font;
}

std::string U8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

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

TEST(DisplayAspect, WideFrameSqueezesTheInkToThreeQuartersAndKeepsItsHeight) {
  const std::pair<FontDesc, std::string> cases[] = {
      {Font(20), "The quick brown fox jumps over the lazy dog"},
      {Font(20), "O"},
      {Font(40, StyleFromText("Bold")), "Wide screen, narrow letters"},
      {Font(24, StyleFromText("Italic"), "DejaVu Sans Mono"), "Mono slanted text"},  // a synthetic italic face
      {Font(20), U8(U"\u0645\u0631\u062D\u0628\u0627 \u0628\u0643\u0645")},          // shaped Arabic
      {Font(20), U8(U"Cafe\u0301 cre\u0300me")},                                     // accented, shaped
  };
  FontEngine& engine = SharedEngine();
  for (const auto& [font, line] : cases) {
    SCOPED_TRACE(line);
    const LineLayout standard = engine.LayoutLine(font, line), wide = engine.LayoutLine(Wide(font), line);
    const std::array<int, 4> a = InkOf(standard), b = InkOf(wide);
    EXPECT_NEAR(b[2], a[2] * 3.0 / 4.0, 2.0);
    EXPECT_EQ(std::tie(b[1], b[3]), std::tie(a[1], a[3])) << "top and height";
    EXPECT_NEAR(wide.widthPx, standard.widthPx * 3.0 / 4.0, 1.0) << "advances scale too";
    EXPECT_EQ(std::tie(wide.heightPx, wide.ascentPx), std::tie(standard.heightPx, standard.ascentPx));
  }
}

TEST(DisplayAspect, StandardFrameIsTheDefaultAndLeavesGlyphsAlone) {
  FontEngine& engine = SharedEngine();
  const FontDesc font = Font(20);
  EXPECT_EQ(font.aspect, DisplayAspect::Standard4x3);
  const LineLayout before = engine.LayoutLine(font, "Rethymno.");
  (void)engine.LayoutLine(Wide(font), "Rethymno.");  // a squeezed size of the same face in between
  const LineLayout after = engine.LayoutLine(font, "Rethymno.");
  EXPECT_EQ(after.widthPx, before.widthPx);
  ASSERT_EQ(after.glyphs.size(), before.glyphs.size());
  for (std::size_t i = 0; i < after.glyphs.size(); ++i) EXPECT_EQ(after.glyphs[i].glyph, before.glyphs[i].glyph);
}

}  // namespace
}  // namespace quillet
