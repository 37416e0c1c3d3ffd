// A 16:9 frame: glyphs drawn squeezed across to 3/4, at their full height, through the font's own scale.
#include <gtest/gtest.h>

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

// The box around the line's ink, as the drawing paints it.
struct InkBox {
  int left = 0;
  int width = 0;
  int top = 0;
  int height = 0;
};

InkBox InkOf(const LineLayout& layout) {
  const BitMask mask = MaskFromLayout(layout);
  InkBox box{mask.width, 0, mask.height, 0};
  int right = -1, bottom = -1;
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      if (!mask.Test(x, y)) continue;
      box.left = std::min(box.left, x);
      right = std::max(right, x);
      box.top = std::min(box.top, y);
      bottom = std::max(bottom, y);
    }
  }
  box.width = right - box.left + 1;
  box.height = bottom - box.top + 1;
  box.left += mask.left;
  box.top += mask.top;
  return box;
}

TEST(DisplayAspect, WideFrameSqueezesTheInkToThreeQuartersAndKeepsItsHeight) {
  struct Case {
    const char* name;
    FontDesc font;
    std::string line;
  };
  const Case cases[] = {
      {"plain Latin", Font(20), "The quick brown fox jumps over the lazy dog"},
      {"capital O", Font(20), "O"},
      {"large bold", Font(40, StyleFromText("Bold")), "Wide screen, narrow letters"},
      {"synthetic italic face", Font(24, StyleFromText("Italic"), "DejaVu Sans Mono"), "Mono slanted text"},
      {"shaped Arabic", Font(20), U8(U"\u0645\u0631\u062D\u0628\u0627 \u0628\u0643\u0645")},
      {"accented, shaped", Font(20), U8(U"Cafe\u0301 cre\u0300me")},
  };
  FontEngine& engine = SharedEngine();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LineLayout standard = engine.LayoutLine(c.font, c.line);
    const LineLayout wide = engine.LayoutLine(Wide(c.font), c.line);
    const InkBox a = InkOf(standard), b = InkOf(wide);
    EXPECT_NEAR(b.width, a.width * 3.0 / 4.0, 2.0);
    EXPECT_EQ(b.height, a.height);
    EXPECT_EQ(b.top, a.top);
    EXPECT_NEAR(wide.widthPx, standard.widthPx * 3.0 / 4.0, 1.0) << "advances scale too";
    EXPECT_EQ(wide.heightPx, standard.heightPx);
    EXPECT_EQ(wide.ascentPx, standard.ascentPx);
  }
}

TEST(DisplayAspect, StandardFrameIsTheDefaultAndLeavesGlyphsAlone) {
  FontEngine& engine = SharedEngine();
  FontDesc font = Font(20);
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
