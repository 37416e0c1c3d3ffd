// Lines in other scripts: stand-in faces, right-to-left order, joined letters, and characters no font has.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/utf8_text.h"
#include "render/bidi_runs.h"
#include "render/bit_mask.h"
#include "render/font_engine.h"
#include "render_test_support.h"

namespace quillet {
namespace {

using test::Font;
using test::SharedEngine;

// UTF-8 of code points, for lines written in the DEFAULT charset (UTF-8 in the tests).
std::string U8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

// The left edge of the leftmost glyph drawn for each code point of the line (only code points with ink).
std::map<int, int> GlyphX(const LineLayout& layout) {
  std::map<int, int> x;
  for (const PlacedGlyph& g : layout.glyphs) {
    auto [it, inserted] = x.emplace(g.cluster, g.x);
    if (!inserted) it->second = std::min(it->second, g.x);
  }
  return x;
}

// The clusters in the order their glyphs stand, left to right.
std::vector<int> VisualClusters(const LineLayout& layout) {
  std::vector<std::pair<int, int>> byX;
  for (const auto& [cluster, x] : GlyphX(layout)) byX.emplace_back(x, cluster);
  std::sort(byX.begin(), byX.end());
  std::vector<int> clusters;
  for (const auto& [x, cluster] : byX) clusters.push_back(cluster);
  return clusters;
}

bool SamePixels(const BitMask& a, const BitMask& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height && a.words == b.words;
}

TEST(TextLayout, ChineseWithArialTakesTheGlyphsOfTheStandInFace) {
  FontEngine& engine = SharedEngine();
  const FontDesc cjk = Font(20, {}, "Droid Sans Fallback");
  if (engine.Metrics(cjk).family != "Droid Sans Fallback") GTEST_SKIP() << "fonts-droid-fallback is not installed";
  const std::string zhong = U8(U"\u4E2D"), wen = U8(U"\u6587");
  const LineLayout a = engine.LayoutLine(Font(20), zhong);
  const LineLayout b = engine.LayoutLine(Font(20), wen);
  EXPECT_TRUE(a.missing.empty());
  EXPECT_EQ(a.heightPx, 30) << "the cell stays the chosen face's";
  EXPECT_FALSE(SamePixels(MaskFromLayout(a), MaskFromLayout(b))) << "two characters, two pictures";
  for (const std::string& line : {zhong, wen}) {
    const LineLayout inArial = engine.LayoutLine(Font(20), line);
    const LineLayout inCjk = engine.LayoutLine(cjk, line);
    EXPECT_EQ(inArial.widthPx, inCjk.widthPx);
    ASSERT_EQ(inArial.glyphs.size(), 1u);
    ASSERT_EQ(inCjk.glyphs.size(), 1u);
    // Same glyph on the chosen face's baseline.
    EXPECT_EQ(inArial.glyphs[0].glyph->pixels, inCjk.glyphs[0].glyph->pixels);
    EXPECT_EQ(inArial.glyphs[0].x, inCjk.glyphs[0].x);
    EXPECT_EQ(inArial.glyphs[0].y - inArial.ascentPx, inCjk.glyphs[0].y - inCjk.ascentPx);
  }
  // A bold line takes the same stand-in, emboldened (the face has no bold of its own).
  const LineLayout bold = engine.LayoutLine(Font(20, StyleFromText("Bold")), zhong);
  ASSERT_EQ(bold.glyphs.size(), 1u);
  EXPECT_GT(bold.glyphs[0].glyph->width, a.glyphs[0].glyph->width);
}

TEST(TextLayout, GB2312BytesDrawTheSameCharacters) {
  FontEngine& engine = SharedEngine();
  const LineLayout gb = engine.LayoutLine(Font(20, {}, "Arial", kCharsetGb2312), "\xD6\xD0\xCE\xC4");
  const LineLayout utf8 = engine.LayoutLine(Font(20), U8(U"\u4E2D\u6587"));
  EXPECT_TRUE(gb.missing.empty());
  ASSERT_EQ(gb.glyphs.size(), utf8.glyphs.size());
  EXPECT_TRUE(SamePixels(MaskFromLayout(gb), MaskFromLayout(utf8)));
}

TEST(TextLayout, LatinInALineWithChineseKeepsTheChosenFaceAndItsPlace) {
  FontEngine& engine = SharedEngine();
  const LineLayout latin = engine.LayoutLine(Font(20), "Hi there");
  const LineLayout mixed = engine.LayoutLine(Font(20), "Hi there " + U8(U"\u4E2D\u6587"));
  ASSERT_GT(mixed.glyphs.size(), latin.glyphs.size());
  for (std::size_t i = 0; i < latin.glyphs.size(); ++i) {
    EXPECT_EQ(mixed.glyphs[i].glyph, latin.glyphs[i].glyph) << i;
    EXPECT_EQ(mixed.glyphs[i].x, latin.glyphs[i].x) << i;
    EXPECT_EQ(mixed.glyphs[i].y, latin.glyphs[i].y) << i;
  }
  EXPECT_GE(mixed.glyphs[latin.glyphs.size()].x, engine.LayoutLine(Font(20), "Hi there ").widthPx - 2);
}

// A direction mark sends a Latin line through shaping: it must come out exactly as the plain layout draws it
// (hinted advances, no kerning, no ligatures).
TEST(TextLayout, ShapedLatinMatchesThePlainLayout) {
  FontEngine& engine = SharedEngine();
  const std::string mark = U8(U"\u200E");
  for (const char* style : {"Normal", "Bold", "Bold+It+Und"}) {
    for (const std::string line : {"Rethymno.", "AVA Wolf, office fifty", "Crete Hellas"}) {
      const FontDesc font = Font(20, StyleFromText(style));
      const LineLayout plain = engine.LayoutLine(font, line);
      const LineLayout shaped = engine.LayoutLine(font, mark + line);
      EXPECT_EQ(shaped.widthPx, plain.widthPx) << style << " " << line;
      EXPECT_TRUE(SamePixels(MaskFromLayout(shaped), MaskFromLayout(plain))) << style << " " << line;
    }
  }
  EXPECT_EQ(engine.LayoutLine(Font(20), mark + "Rethymno.").widthPx, 132);
}

TEST(TextLayout, HebrewRunsRightToLeft) {
  FontEngine& engine = SharedEngine();
  const std::u32string shalom = U"\u05E9\u05DC\u05D5\u05DD";
  const LineLayout line = engine.LayoutLine(Font(20), U8(shalom));
  EXPECT_TRUE(line.missing.empty());
  EXPECT_EQ(VisualClusters(line), (std::vector<int>{3, 2, 1, 0})) << "the first letter stands rightmost";
  int sum = 0;
  for (char32_t c : shalom) sum += engine.LayoutLine(Font(20), U8(std::u32string(1, c))).widthPx;
  EXPECT_EQ(line.widthPx, sum);
}

TEST(TextLayout, ArabicLettersJoinAndRunRightToLeft) {
  FontEngine& engine = SharedEngine();
  const std::u32string salam = U"\u0633\u0644\u0645";  // seen, lam, meem: initial, medial and final forms
  const LineLayout line = engine.LayoutLine(Font(20), U8(salam));
  EXPECT_TRUE(line.missing.empty());
  ASSERT_EQ(line.glyphs.size(), 3u);
  EXPECT_EQ(VisualClusters(line), (std::vector<int>{2, 1, 0}));
  for (const PlacedGlyph& g : line.glyphs) {
    const LineLayout alone =
        engine.LayoutLine(Font(20), U8(std::u32string(1, salam[static_cast<std::size_t>(g.cluster)])));
    ASSERT_EQ(alone.glyphs.size(), 1u);
    EXPECT_NE(g.glyph->pixels, alone.glyphs[0].glyph->pixels) << "letter " << g.cluster << " takes a joined form";
  }
}

TEST(TextLayout, DigitsAndLatinInAHebrewLineKeepTheirOwnOrder) {
  FontEngine& engine = SharedEngine();
  // shin lamed vav final-mem, space, 1 2 3, space, a b c: a right-to-left line.
  const LineLayout hebrewFirst = engine.LayoutLine(Font(20), U8(U"\u05E9\u05DC\u05D5\u05DD 123 abc"));
  EXPECT_EQ(VisualClusters(hebrewFirst), (std::vector<int>{9, 10, 11, 5, 6, 7, 3, 2, 1, 0}));
  // The same words after a Latin word make a left-to-right line.
  const LineLayout latinFirst = engine.LayoutLine(Font(20), U8(U"abc \u05E9\u05DC\u05D5\u05DD 12"));
  EXPECT_EQ(VisualClusters(latinFirst), (std::vector<int>{0, 1, 2, 9, 10, 7, 6, 5, 4}));
  // Digits are not strong: the Hebrew letter makes the line right to left (base level 1, digits raised to 2).
  EXPECT_EQ(ResolveBidiLevels(U"123 \u05E9").levels, (std::vector<uint8_t>{2, 2, 2, 1, 1}));
  // The bracketed Latin word comes first: a left-to-right line (base level 0).
  EXPECT_EQ(ResolveBidiLevels(U"(abc) \u05E9").levels, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 1}));
}

TEST(TextLayout, BaseDirectionSetsWhereAStoredFullStopStands) {
  FontEngine& engine = SharedEngine();
  struct Case {
    const char32_t* text;
    BaseDirection direction;
    std::vector<int> visual;
  };
  const Case cases[] = {
      {U".\u05E9\u05DC\u05D5\u05DD", BaseDirection::Auto, {4, 3, 2, 1, 0}},  // right to left: rightmost
      {U".\u05E9\u05DC\u05D5\u05DD", BaseDirection::Ltr, {0, 4, 3, 2, 1}},   // as players laying lines out ltr
      {U".\u05E9\u05DC\u05D5\u05DD", BaseDirection::Rtl, {4, 3, 2, 1, 0}},
      {U"Hi!", BaseDirection::Auto, {0, 1, 2}},
      {U"Hi!", BaseDirection::Rtl, {2, 0, 1}},  // the plain layout would keep it at the end
  };
  for (const Case& c : cases) {
    FontDesc font = Font(20);
    font.direction = c.direction;
    EXPECT_EQ(VisualClusters(engine.LayoutLine(font, U8(c.text))), c.visual)
        << static_cast<int>(c.direction) << " " << U8(c.text);
  }
}

TEST(TextLayout, RunsAreReversedLevelByLevel) {
  const uint8_t nested[] = {0, 1, 2, 1, 0};
  EXPECT_EQ(VisualRunOrder(nested), (std::vector<int>{0, 3, 2, 1, 4}));
  const uint8_t rightToLeft[] = {1, 2, 1, 2};
  EXPECT_EQ(VisualRunOrder(rightToLeft), (std::vector<int>{3, 2, 1, 0}));
  const uint8_t leftToRight[] = {0, 0};
  EXPECT_EQ(VisualRunOrder(leftToRight), (std::vector<int>{0, 1}));
}

TEST(TextLayout, ACharacterNoFontHasIsListedOnceAndStillTakesItsPlace) {
  FontEngine& engine = SharedEngine();
  const std::string none = U8(U"\U0010FFFD");
  const LineLayout line = engine.LayoutLine(Font(20), "a" + none + "b" + none + U8(U"\u200D"));
  EXPECT_EQ(line.missing, std::u32string(U"\U0010FFFD")) << "once, and a joiner is not a missing character";
  EXPECT_GT(line.widthPx, engine.LayoutLine(Font(20), "ab").widthPx);
  // It shows as a box where it stands (the face's own missing-glyph shape is blank).
  EXPECT_EQ(VisualClusters(line), (std::vector<int>{0, 1, 2, 3}));
  const PlacedGlyph& box = line.glyphs[1];
  EXPECT_EQ(box.y + box.glyph->height, line.ascentPx) << "on the baseline";
  EXPECT_EQ(box.glyph->pixels[0], 1);
  EXPECT_EQ(box.glyph->pixels[static_cast<std::size_t>(box.glyph->width) + box.glyph->width / 2], 0) << "hollow";
  EXPECT_TRUE(engine.LayoutLine(Font(20), "Rethymno.").missing.empty());
}

// DejaVu has 😀 and 𝐀 only in its full Unicode map: neither DejaVu nor Arial (which stands DejaVu in) may call
// them missing or draw a box.
TEST(TextLayout, CharactersAboveTheBasicPlaneComeFromTheFullUnicodeMap) {
  FontEngine& engine = SharedEngine();
  for (const char* face : {"DejaVu Sans", "DejaVu Serif", "Arial"}) {
    const LineLayout line = engine.LayoutLine(Font(20, {}, face), U8(U"A \U0001F600 B \U0001D400"));
    EXPECT_TRUE(line.missing.empty()) << face;
    ASSERT_EQ(line.glyphs.size(), 4u) << face;
    const GlyphBitmap& box = *engine.LayoutLine(Font(20, {}, face), U8(U"\U0010FFFD")).glyphs.at(0).glyph;
    for (const PlacedGlyph& g : line.glyphs) EXPECT_NE(g.glyph->pixels, box.pixels) << face;
  }
}

// A tab is a space; BEL, ESC, DEL and C1 (an undefined CP1252 byte) draw nothing and are listed once; in a symbol
// font the bytes 80 to 9F are pictures.
TEST(TextLayout, ControlCharactersAreLeftOutAndListed) {
  FontEngine& engine = SharedEngine();
  const std::tuple<std::string, std::string, std::u32string, uint8_t> kCases[] = {
      {"a\tb", "a b", U"", kCharsetDefault},
      {"a\ab\x1B[1m\a", "ab[1m", U"\u0007\u001B", kCharsetDefault},
      {"x\x7Fy\x81\x8D", "xy", U"\u007F\u0081\u008D", kCharsetAnsi},
      {U8(U"\u0007\u05E9\u05DC"), U8(U"\u05E9\u05DC"), U"\u0007", kCharsetDefault},
  };
  for (const auto& [text, same, controls, charset] : kCases) {
    const FontDesc font = Font(20, {}, "Arial", charset);
    const LineLayout line = engine.LayoutLine(font, text);
    EXPECT_EQ(line.controls, controls) << text;
    EXPECT_TRUE(line.missing.empty() && SamePixels(MaskFromLayout(line), MaskFromLayout(engine.LayoutLine(font, same))))
        << text;
  }
  EXPECT_TRUE(engine.LayoutLine(Font(20, {}, "Arial", kCharsetSymbol), "\x80\x9F").controls.empty());
}

// Where marks land in a shaped line at size 36: every glyph's cluster and the top-left of its bitmap in the cell.
// Mark offsets are HarfBuzz's rounded to the nearest pixel; rounding them down moves the shadda and vowel signs a
// pixel (and Thai and Devanagari marks alike). Pinned for the Debian 12 font the bootstrap installs.
TEST(TextLayout, MarkPositionsInAShapedLineArePinned) {
  const FontDesc font = Font(36, {}, "DejaVu Sans");
  ASSERT_EQ(SharedEngine().Metrics(font).family, "DejaVu Sans") << "font not installed";
  std::vector<int> placed;  // cluster, x and y of each glyph
  const char* line =
      "\xD8\xA7\xD9\x84\xD9\x84\xD9\x91\xD9\x87 \xD9\x85\xD9\x8F\xD8\xAD\xD9\x8E\xD9\x85\xD9\x91\xD9\x8E\xD8\xAF";
  for (const PlacedGlyph& g : SharedEngine().LayoutLine(font, line).glyphs) {
    placed.insert(placed.end(), {g.cluster, g.x, g.y});
  }
  EXPECT_EQ(placed, (std::vector<int>{13, 3,  25, 10, 31,  5,  10, 25,  30, 8, 60,  16, 8, 53,  26, 6, 90,  11,
                                      6,  84, 30, 4,  128, 27, 2,  152, -8, 2, 151, 9,  1, 167, 9,  0, 187, 9}));
}

}  // namespace
}  // namespace quillet
