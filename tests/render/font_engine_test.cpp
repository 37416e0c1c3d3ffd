#include "render/font_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "render/font_engine_pool.h"
#include "render_test_support.h"

namespace quillet {
namespace {

using test::Font;
using test::SharedEngine;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(FontEngine, EmHeightFromPointsAndDpi) {
  EXPECT_EQ(EmHeightPx(20, 96), 27);
  EXPECT_EQ(EmHeightPx(6, 96), 8);
  EXPECT_EQ(EmHeightPx(50, 96), 67);
  EXPECT_EQ(EmHeightPx(20, 120), 33);
  EXPECT_EQ(EmHeightPx(20, 72), 20);
  EXPECT_EQ(EmHeightPx(3, 108), 4);  // 4.5: ties to even
  EXPECT_EQ(EmHeightPx(5, 108), 8);  // 7.5
}

TEST(FontEngine, FontNameListStartsWithArialAndSortsTheFamilies) {
  const std::vector<std::string> names = SharedEngine().FontNameList();
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(names[0], "Arial");
  const std::vector<std::string> rest(names.begin() + 1, names.end());
  EXPECT_TRUE(std::is_sorted(rest.begin(), rest.end(),
                             [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); }));
  EXPECT_EQ(std::set<std::string>(rest.begin(), rest.end()).size(), rest.size()) << "duplicates";
  EXPECT_NE(std::find(rest.begin(), rest.end(), "Default"), rest.end());
  EXPECT_NE(std::find(rest.begin(), rest.end(), "Liberation Sans"), rest.end());
  // First family names only: the condensed DejaVu faces list as "DejaVu Sans".
  EXPECT_EQ(std::find(rest.begin(), rest.end(), "DejaVu Sans Condensed"), rest.end());
}

TEST(FontEngine, ArialIsLiberationSansWithWindowsMetrics) {
  FontEngine& engine = SharedEngine();
  const FontMetrics& m = engine.Metrics(Font(20));
  EXPECT_EQ(m.family, "Liberation Sans");
  EXPECT_EQ(m.emPx, 27);
  EXPECT_EQ(m.ascentPx, 24);  // 1854 × 27 / 2048 = 24.4
  EXPECT_EQ(m.descentPx, 6);  // 434 × 27 / 2048 = 5.7
  EXPECT_EQ(m.heightPx, 30);
  EXPECT_FALSE(m.syntheticBold);
  EXPECT_FALSE(m.syntheticItalic);
}

TEST(FontEngine, LineWidthIsTheSumOfHintedAdvances) {
  FontEngine& engine = SharedEngine();
  EXPECT_EQ(engine.LayoutLine(Font(20), "Rethymno.").widthPx, 132);
  EXPECT_EQ(engine.LayoutLine(Font(20, StyleFromText("Bold")), "Rethymno.").widthPx, 144);
  EXPECT_EQ(engine.LayoutLine(Font(20, StyleFromText("Bold")), "Rethymno.").heightPx, 30);
  // No kerning: a pair that kerns measures as its two advances.
  const int av = engine.LayoutLine(Font(20), "AV").widthPx;
  EXPECT_EQ(av, engine.LayoutLine(Font(20), "A").widthPx + engine.LayoutLine(Font(20), "V").widthPx);
  EXPECT_EQ(engine.LayoutLine(Font(20), "").widthPx, 0);
}

TEST(FontEngine, RealBoldAndItalicFacesAreUsed) {
  FontEngine& engine = SharedEngine();
  const FontMetrics& boldItalic = engine.Metrics(Font(20, StyleFromText("Bold+Italic")));
  EXPECT_NE(boldItalic.file.find("LiberationSans-BoldItalic"), std::string::npos) << boldItalic.file;
  EXPECT_FALSE(boldItalic.syntheticBold);
  EXPECT_FALSE(boldItalic.syntheticItalic);
  const FontMetrics& defaultSans = engine.Metrics(Font(20, {}, "Default"));
  EXPECT_FALSE(defaultSans.family.empty());
  EXPECT_EQ(defaultSans.family, engine.Metrics(Font(20, {}, "")).family);
}

// A family with only a regular face: bold and italic are made from it.
TEST(FontEngine, MissingFacesAreSynthesised) {
  FontEngine& engine = SharedEngine();
  const std::string family = "DejaVu Math TeX Gyre";
  const FontMetrics& regular = engine.Metrics(Font(20, {}, family));
  if (regular.family != family) GTEST_SKIP() << family << " is not installed";
  const FontMetrics& bold = engine.Metrics(Font(20, StyleFromText("Bold"), family));
  const FontMetrics& italic = engine.Metrics(Font(20, StyleFromText("Italic"), family));
  EXPECT_EQ(bold.file, regular.file);
  EXPECT_TRUE(bold.syntheticBold);
  EXPECT_FALSE(bold.syntheticItalic);
  EXPECT_TRUE(italic.syntheticItalic);
  EXPECT_FALSE(italic.syntheticBold);

  const LineLayout plain = engine.LayoutLine(Font(20, {}, family), "Hill");
  const LineLayout emboldened = engine.LayoutLine(Font(20, StyleFromText("Bold"), family), "Hill");
  const LineLayout slanted = engine.LayoutLine(Font(20, StyleFromText("Italic"), family), "Hill");
  EXPECT_GT(emboldened.widthPx, plain.widthPx);
  EXPECT_EQ(slanted.widthPx, plain.widthPx);
  // The slanted H leans right: its top row starts further right than its bottom row.
  const GlyphBitmap& h = *slanted.glyphs[0].glyph;
  auto firstInk = [&](int row) {
    for (int i = 0; i < h.width; ++i) {
      if (h.pixels[static_cast<std::size_t>(row) * h.width + i]) return i;
    }
    return -1;
  };
  EXPECT_GT(firstInk(0), firstInk(h.height - 1));
}

TEST(FontEngine, LayoutPlacesGlyphsOnTheBaseline) {
  FontEngine& engine = SharedEngine();
  const LineLayout layout = engine.LayoutLine(Font(20), "x.");
  ASSERT_EQ(layout.glyphs.size(), 2u);
  for (const PlacedGlyph& g : layout.glyphs) EXPECT_EQ(g.y + g.glyph->height, layout.ascentPx) << "sits on baseline";
  EXPECT_EQ(layout.glyphs[1].x - layout.glyphs[1].glyph->left, engine.LayoutLine(Font(20), "x").widthPx);
  EXPECT_TRUE(layout.rules.empty());
}

TEST(FontEngine, UnderlineAndStrikeoutSpanTheAdvanceWidth) {
  FontEngine& engine = SharedEngine();
  const LineLayout under = engine.LayoutLine(Font(20, StyleFromText("Underline")), "Rethymno.");
  ASSERT_EQ(under.rules.size(), 1u);
  EXPECT_EQ(under.rules[0].x, 0);
  EXPECT_EQ(under.rules[0].width, 132);
  EXPECT_GE(under.rules[0].y, under.ascentPx);  // below the baseline
  EXPECT_LE(under.rules[0].y + under.rules[0].height, under.heightPx);
  EXPECT_GE(under.rules[0].height, 1);

  const LineLayout strike = engine.LayoutLine(Font(20, StyleFromText("StrikeOut")), "Rethymno.");
  ASSERT_EQ(strike.rules.size(), 1u);
  EXPECT_LT(strike.rules[0].y + strike.rules[0].height, strike.ascentPx);  // above the baseline
  EXPECT_GT(strike.rules[0].y, 0);

  const LineLayout both = engine.LayoutLine(Font(20, StyleFromText("Bold+It+Und")), "");
  EXPECT_TRUE(both.rules.empty());  // nothing to underline
}

TEST(FontEngine, CharsetsSelectTheGlyphs) {
  FontEngine& engine = SharedEngine();
  // Alpha in GREEK and a in ANSI are different glyphs; Cyrillic A (RUSSIAN) looks like Latin A but is its own.
  const LineLayout alpha = engine.LayoutLine(Font(20, {}, "Arial", kCharsetGreek), "\xE1");
  const LineLayout aacute = engine.LayoutLine(Font(20, {}, "Arial", kCharsetAnsi), "\xE1");
  ASSERT_EQ(alpha.glyphs.size(), 1u);
  ASSERT_EQ(aacute.glyphs.size(), 1u);
  EXPECT_NE(alpha.glyphs[0].glyph, aacute.glyphs[0].glyph);
  const LineLayout utf8 = engine.LayoutLine(Font(20), "\xCE\xB1");
  EXPECT_EQ(utf8.glyphs[0].glyph, alpha.glyphs[0].glyph);
  // SYMBOL with a font that is not a symbol font reads the byte as a code point.
  EXPECT_EQ(engine.LayoutLine(Font(20, {}, "Arial", kCharsetSymbol), "A").glyphs[0].glyph,
            engine.LayoutLine(Font(20, {}, "Arial", kCharsetAnsi), "A").glyphs[0].glyph);
}

TEST(FontEngine, EnginesWithTheSameOptionsGiveTheSameLayout) {
  std::unique_ptr<FontEngine> clone = std::make_unique<FontEngine>(SharedEngine().Options());
  EXPECT_EQ(clone->Options().defaultCodeset, "UTF-8");
  const LineLayout a = SharedEngine().LayoutLine(Font(33, StyleFromText("Italic")), "Crete Hellas.");
  const LineLayout b = clone->LayoutLine(Font(33, StyleFromText("Italic")), "Crete Hellas.");
  ASSERT_EQ(a.glyphs.size(), b.glyphs.size());
  EXPECT_EQ(a.widthPx, b.widthPx);
  for (std::size_t i = 0; i < a.glyphs.size(); ++i) {
    EXPECT_EQ(a.glyphs[i].x, b.glyphs[i].x);
    EXPECT_EQ(a.glyphs[i].glyph->pixels, b.glyphs[i].glyph->pixels);
  }

  FontEnginePerThread pool(FontOptions{"UTF-8"});
  FontEngine* mainEngine = &pool.ForThisThread();
  EXPECT_EQ(&pool.ForThisThread(), mainEngine);
  FontEngine* workerEngine = nullptr;
  int workerWidth = 0;
  std::thread worker([&] {
    workerEngine = &pool.ForThisThread();
    workerWidth = workerEngine->LayoutLine(Font(20), "Rethymno.").widthPx;
  });
  worker.join();
  EXPECT_NE(workerEngine, mainEngine);
  EXPECT_EQ(workerWidth, 132);
}

}  // namespace
}  // namespace quillet
