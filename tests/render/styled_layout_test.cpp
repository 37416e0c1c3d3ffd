// Lines drawn with the file's styles: runs in their own faces, the entry's place, a third line.
#include <gtest/gtest.h>

#include "render/line_length_check.h"
#include "render/subtitle_renderer.h"
#include "render_test_support.h"

namespace quillet {
namespace {

using test::Font;
using test::SharedEngine;

constexpr StyleFlags kItalic{true, false, false};
constexpr StyleFlags kBold{false, true, false};
constexpr StyleFlags kUnderline{false, false, true};

// The same glyphs (from the same cache entries, so the same pixels) at the same places, the same rules.
void ExpectSameLayout(const LineLayout& a, const LineLayout& b, const std::string& what) {
  EXPECT_EQ(a.widthPx, b.widthPx) << what;
  EXPECT_EQ(a.heightPx, b.heightPx) << what;
  ASSERT_EQ(a.glyphs.size(), b.glyphs.size()) << what;
  for (std::size_t i = 0; i < a.glyphs.size(); ++i) {
    EXPECT_EQ(a.glyphs[i].glyph, b.glyphs[i].glyph) << what << " glyph " << i;
    EXPECT_EQ(a.glyphs[i].x, b.glyphs[i].x) << what << " glyph " << i;
    EXPECT_EQ(a.glyphs[i].y, b.glyphs[i].y) << what << " glyph " << i;
  }
  ASSERT_EQ(a.rules.size(), b.rules.size()) << what;
  for (std::size_t i = 0; i < a.rules.size(); ++i) {
    EXPECT_EQ(a.rules[i].x, b.rules[i].x) << what;
    EXPECT_EQ(a.rules[i].width, b.rules[i].width) << what;
  }
}

TEST(StyledLayout, ALineWhollyInOneRunIsTheLineInThatStyle) {
  const std::string text = "Hello there, world";
  const struct {
    StyleSet chosen;
    StyleFlags run;
    StyleSet drawn;
  } cases[] = {
      {{}, kItalic, {false, true, false, false}},
      {{}, kBold, {true, false, false, false}},
      {{}, kUnderline, {false, false, true, false}},
      {{true, false, false, false}, kItalic, {true, true, false, false}},  // Bold chosen + <i> = Bold Italic
      {{false, true, false, false}, kItalic, {false, true, false, false}},
  };
  for (const auto& c : cases) {
    const LineLayout styled = SharedEngine().LayoutLine(Font(20, c.chosen), text, {{0, text.size(), c.run}});
    const LineLayout plain = SharedEngine().LayoutLine(Font(20, c.drawn), text);
    ExpectSameLayout(styled, plain, std::to_string(c.drawn.Bits()));
  }
}

// "plain italic": the second word's glyphs are the italic face's (or, for a family without one, the roman face's
// slanted by FreeType), at the roman first word's width; the first word's are the roman face's. Glyph pixels
// compared, and the two styles differ in them.
TEST(StyledLayout, AHalfItalicLineDrawsItsItalicWordFromTheItalicFace) {
  FontEngine& engine = SharedEngine();
  const struct {
    const char* family;
    std::string first, second;
    bool synthetic;
  } cases[] = {
      {"Arial", "plain ", "italic", false},
      {"Droid Sans Fallback", "\xE6\xBC\xA2\xE5\xAD\x97 ", "\xE6\xBC\xA2\xE5\xAD\x97", true},
  };
  for (const auto& c : cases) {
    const FontDesc roman = Font(20, {}, c.family);
    const FontDesc italic = Font(20, {false, true, false, false}, c.family);
    ASSERT_EQ(engine.Metrics(italic).syntheticItalic, c.synthetic) << c.family;
    const LineLayout styled =
        engine.LayoutLine(roman, c.first + c.second, {{c.first.size(), c.first.size() + c.second.size(), kItalic}});
    const LineLayout first = engine.LayoutLine(roman, c.first);
    const LineLayout second = engine.LayoutLine(italic, c.second);
    const LineLayout secondRoman = engine.LayoutLine(roman, c.second);
    EXPECT_EQ(styled.widthPx, first.widthPx + second.widthPx) << c.family;
    ASSERT_EQ(styled.glyphs.size(), first.glyphs.size() + second.glyphs.size()) << c.family;
    int differing = 0;
    for (std::size_t i = 0; i < styled.glyphs.size(); ++i) {
      const PlacedGlyph& got = styled.glyphs[i];
      const bool inSecond = i >= first.glyphs.size();
      const PlacedGlyph& want = inSecond ? second.glyphs[i - first.glyphs.size()] : first.glyphs[i];
      EXPECT_EQ(got.glyph->pixels, want.glyph->pixels) << c.family << " glyph " << i;
      EXPECT_EQ(got.x, want.x + (inSecond ? first.widthPx : 0)) << c.family << " glyph " << i;
      if (inSecond) differing += got.glyph->pixels != secondRoman.glyphs[i - first.glyphs.size()].glyph->pixels;
    }
    EXPECT_EQ(differing, static_cast<int>(second.glyphs.size())) << c.family;
  }
}

// Punctuation after a styled word keeps its own style; an underlined run is underlined under its advances only.
TEST(StyledLayout, RunsEndWhereTheirBytesEnd) {
  FontEngine& engine = SharedEngine();
  const FontDesc roman = Font(20);
  const LineLayout styled = engine.LayoutLine(roman, "say \"no\", then", {{5, 7, kUnderline}});
  const LineLayout before = engine.LayoutLine(roman, "say \"");
  const LineLayout word = engine.LayoutLine(roman, "no");
  ASSERT_EQ(styled.rules.size(), 1u);
  EXPECT_EQ(styled.rules[0].x, before.widthPx);
  EXPECT_EQ(styled.rules[0].width, word.widthPx);
  ExpectSameLayout(engine.LayoutLine(roman, "say \"no\", then", {{5, 7, kItalic}}),
                   engine.LayoutLine(roman, "say \"no\", then", {{5, 7, kItalic}}), "repeatable");
  // Bidirectional text with an italic run is shaped across the runs: the Hebrew word keeps its letters.
  const LineLayout mixed = engine.LayoutLine(roman, "abc \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D def", {{4, 12, kItalic}});
  EXPECT_TRUE(mixed.missing.empty());
  EXPECT_EQ(mixed.glyphs.size(), 10u);
}

RenderSettings Settings(bool fromFile) {
  RenderSettings settings;
  settings.font = Font(20);
  settings.offset = 30;
  settings.offsetOr = -4;
  settings.standard = VideoStandard::Pal;
  settings.stylesFromFile = fromFile;
  return settings;
}

TEST(StyledLayout, TheFilesPlacementPutsTheEntry) {
  FontEngine& engine = SharedEngine();
  const LineLayout cell = engine.LayoutLine(Font(20), "Sign");
  const int h = cell.heightPx;
  const struct {
    EntryPlacement placement;
    bool fromFile;
    int y1;
    int x1;
  } cases[] = {
      {{VerticalPlace::kTop, HorizontalPlace::kCentre}, true, 30, 360 - cell.widthPx / 2},
      {{VerticalPlace::kTop, HorizontalPlace::kLeft}, true, 30, 8},
      {{VerticalPlace::kMiddle, HorizontalPlace::kRight}, true, (576 - (2 * h + 4)) / 2, 712 - cell.widthPx},
      {{VerticalPlace::kBottom, HorizontalPlace::kChosen}, true, 576 - h - 70, 360 - cell.widthPx / 2},
      {{VerticalPlace::kTop, HorizontalPlace::kLeft}, false, 576 - h - 70, 360 - cell.widthPx / 2},  // --plain
  };
  for (const auto& c : cases) {
    EntryStyle style;
    style.placement = c.placement;
    const RenderSettings settings = Settings(c.fromFile);
    const EntryLayout layout = LayOutEntry(engine, {"Sign", "", "", &style}, settings, 576);
    EXPECT_EQ(layout.origins.y1, c.y1) << int(c.placement.vertical);
    EXPECT_EQ(layout.origins.x1, c.x1) << int(c.placement.horizontal);
    EntryPasses passes;
    RenderEntryPasses(engine, {"Sign", "", "", &style}, settings, passes);
    EXPECT_EQ(passes.band.top, c.y1 - c.y1 % 2) << int(c.placement.vertical);
  }
}

TEST(StyledLayout, AThirdLineIsDrawnBelowTheSecondWithTheBlockRaised) {
  FontEngine& engine = SharedEngine();
  const EntryStyle style;
  EntryPasses three;
  RenderEntryPasses(engine, {"One", "Two", "Three", &style}, Settings(true), three);
  EntryPasses two;
  RenderEntryPasses(engine, {"One", "Two", "Three", &style}, Settings(false), two);
  EXPECT_TRUE(two.lines[2].ink.Empty());
  ASSERT_FALSE(three.lines[2].ink.Empty());
  // The third line ends where the second did; the others move up by one line and its gap.
  const int step = three.lines[1].cellY - three.lines[0].cellY;
  EXPECT_EQ(three.lines[2].cellY, two.lines[1].cellY);
  EXPECT_EQ(three.lines[0].cellY, two.lines[0].cellY - step);
  EXPECT_EQ(three.band.top, two.band.top - step);
  EXPECT_EQ(three.band.top + three.band.height, two.band.top + two.band.height);
  // A third line too wide fails the check.
  const std::string wide(80, 'W');
  EXPECT_FALSE(LinesFitWidth(MeasureEntry(engine, {"One", "Two", wide, &style}, Settings(true))));
  EXPECT_TRUE(LinesFitWidth(MeasureEntry(engine, {"One", "Two", wide, &style}, Settings(false))));
}

}  // namespace
}  // namespace quillet
