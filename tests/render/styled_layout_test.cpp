// Lines drawn with the file's styles: runs in their own faces, the entry's place, a third line.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "render/line_length_check.h"
#include "render/subtitle_renderer.h"
#include "render_test_support.h"

namespace quillet {
namespace {

using test::Font;
using test::SharedEngine;

constexpr StyleFlags kItalic{true, false, false}, kBold{false, true, false}, kUnderline{false, false, true};

// What makes two layouts draw the same: the glyphs (from the same cache entries, so the same pixels) at the same
// places, the same rules, the same size.
std::vector<std::tuple<const void*, int, int>> Drawing(const LineLayout& layout) {
  std::vector<std::tuple<const void*, int, int>> out{{nullptr, layout.widthPx, layout.heightPx}};
  for (const PlacedGlyph& g : layout.glyphs) out.emplace_back(g.glyph, g.x, g.y);
  for (const auto& rule : layout.rules) out.emplace_back(nullptr, rule.x, rule.width);
  return out;
}

TEST(StyledLayout, ALineWhollyInOneRunIsTheLineInThatStyle) {
  const std::string text = "Hello there, world";
  const std::tuple<StyleSet, StyleFlags, StyleSet> cases[] = {  // chosen, the line's run, drawn
      {{}, kItalic, {false, true, false, false}}, {{}, kBold, {true, false, false, false}},
      {{}, kUnderline, {false, false, true, false}}, {{false, true, false, false}, kItalic, {false, true, false, false}},
      {{true, false, false, false}, kItalic, {true, true, false, false}}};  // Bold chosen + <i> = Bold Italic
  for (const auto& [chosen, run, drawn] : cases) {
    EXPECT_EQ(Drawing(SharedEngine().LayoutLine(Font(20, chosen), text, {{0, text.size(), run}})),
              Drawing(SharedEngine().LayoutLine(Font(20, drawn), text)))
        << drawn.Bits();
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
  } cases[] = {{"Arial", "plain ", "italic", false},
               {"Droid Sans Fallback", "\xE6\xBC\xA2\xE5\xAD\x97 ", "\xE6\xBC\xA2\xE5\xAD\x97", true}};
  for (const auto& c : cases) {
    const FontDesc roman = Font(20, {}, c.family);
    const FontDesc italic = Font(20, {false, true, false, false}, c.family);
    ASSERT_EQ(engine.Metrics(italic).syntheticItalic, c.synthetic) << c.family;
    const LineLayout styled =
        engine.LayoutLine(roman, c.first + c.second, {{c.first.size(), c.first.size() + c.second.size(), kItalic}});
    const LineLayout first = engine.LayoutLine(roman, c.first), second = engine.LayoutLine(italic, c.second),
                     secondRoman = engine.LayoutLine(roman, c.second);
    EXPECT_EQ(styled.widthPx, first.widthPx + second.widthPx) << c.family;
    ASSERT_EQ(styled.glyphs.size(), first.glyphs.size() + second.glyphs.size()) << c.family;
    const std::size_t n = first.glyphs.size();
    int differing = 0;
    for (std::size_t i = 0; i < styled.glyphs.size(); ++i) {
      const PlacedGlyph& want = i >= n ? second.glyphs[i - n] : first.glyphs[i];
      EXPECT_EQ(std::tie(styled.glyphs[i].glyph->pixels, styled.glyphs[i].x),
                std::forward_as_tuple(want.glyph->pixels, want.x + (i >= n ? first.widthPx : 0)))
          << c.family << " glyph " << i;
      if (i >= n) differing += styled.glyphs[i].glyph->pixels != secondRoman.glyphs[i - n].glyph->pixels;
    }
    EXPECT_EQ(differing, static_cast<int>(second.glyphs.size())) << c.family;
  }
}

// Punctuation after a styled word keeps its own style; an underlined run is underlined under its advances only.
TEST(StyledLayout, RunsEndWhereTheirBytesEnd) {
  FontEngine& engine = SharedEngine();
  const FontDesc roman = Font(20);
  const LineLayout styled = engine.LayoutLine(roman, "say \"no\", then", {{5, 7, kUnderline}});
  ASSERT_EQ(styled.rules.size(), 1u);
  EXPECT_EQ(styled.rules[0].x, engine.LayoutLine(roman, "say \"").widthPx);
  EXPECT_EQ(styled.rules[0].width, engine.LayoutLine(roman, "no").widthPx);
  // Bidirectional text with an italic run is shaped across the runs: the Hebrew word keeps its letters.
  const LineLayout mixed = engine.LayoutLine(roman, "abc \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D def", {{4, 12, kItalic}});
  EXPECT_TRUE(mixed.missing.empty() && mixed.glyphs.size() == 10u);
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
  // Top placement starts the band exactly at the offset; the others are even-rounded.
  const struct {
    EntryPlacement placement;
    bool fromFile;
    int y1, x1;
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
    EXPECT_EQ(std::tie(layout.origins.y1, layout.origins.x1), std::tie(c.y1, c.x1)) << int(c.placement.vertical);
    EntryPasses passes;
    RenderEntryPasses(engine, {"Sign", "", "", &style}, settings, passes);
    EXPECT_EQ(passes.band.top, c.y1 - c.y1 % 2) << int(c.placement.vertical);
  }
}

TEST(StyledLayout, AThirdLineIsDrawnBelowTheSecondWithTheBlockRaised) {
  FontEngine& engine = SharedEngine();
  const EntryStyle style;
  EntryPasses three, two;  // the third line drawn, and dropped with --plain
  RenderEntryPasses(engine, {"One", "Two", "Three", &style}, Settings(true), three);
  RenderEntryPasses(engine, {"One", "Two", "Three", &style}, Settings(false), two);
  ASSERT_TRUE(two.lines[2].ink.Empty() && !three.lines[2].ink.Empty());
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
