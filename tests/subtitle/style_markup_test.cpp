// What the readers keep of a line beyond its letters: italic, bold and underline runs, the entry's place, and
// colours or positions noted as not drawn.
#include <gtest/gtest.h>

#include <tuple>

#include "loading.h"
#include "subtitle/markup.h"

namespace quillet {
namespace {

constexpr StyleFlags kI{true, false, false}, kB{false, true, false}, kU{false, false, true};
using V = VerticalPlace;
using H = HorizontalPlace;
constexpr EntryPlacement kTop{V::kTop, H::kCentre}, kBottom{V::kBottom, H::kCentre};

const std::string kSrt = "1\n00:00:01,000 --> 00:00:02,000\n", kVtt = "WEBVTT\n\n00:01.000 --> 00:02.000",
                  kSub = "{1}{1}25\n{25}{50}";
// An ASS file (SSA with `legacy`) whose Default style has these columns after its colours.
std::string Ass(const std::string& text, const std::string& style = "0,0,0,0,100,100,0,0,1,2,0,2",
                bool legacy = false) {
  return std::string("[Script Info]\nScriptType: v4.00+\n\n") + (legacy ? "[V4 Styles]\n" : "[V4+ Styles]\n") +
         "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, " +
         (legacy ? "TertiaryColour, BackColour, Bold, Italic, BorderStyle, Outline, Shadow, Alignment, MarginL, "
                   "MarginR, MarginV, AlphaLevel, Encoding\nStyle: Default,Arial,20,16777215,65535,65535,0,"
                 : "OutlineColour, BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, "
                   "BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\n"
                   "Style: Default,Arial,20,&H00FFFFFF,&H000000FF,&H00000000,&H00000000,") +
         style + ",10,10,10," + (legacy ? "0,0" : "1") +
         "\n\n[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
         "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,," +
         text + "\n";
}
const std::string kItalicTop = "0,-1,0,0,100,100,0,0,1,2,0,8";
const std::string kSsaBoldTop = "-1,0,1,2,0,6";  // SSA's alignment numbers: 6 is the top centre

TEST(StyleMarkup, ReadersKeepStyleRunsAndPlacement) {
  const struct {
    const char* name;  // the file's name: its extension chooses the reader
    std::string text, line1, line2;
    StyleRuns runs1, runs2;
    EntryPlacement placement;
    bool unsupported = false;
  } cases[] = {
      {"a.srt", kSrt + "<i>Hello</i>\n", "Hello", "", {{0, 5, kI}}, {}, {}},
      {"a.srt", kSrt + "Hello <i>there</i>!\n", "Hello there!", "", {{6, 11, kI}}, {}, {}},
      {"a.srt", kSrt + "<i>one\ntwo</i> three\n", "one", "two three", {{0, 3, kI}}, {{0, 3, kI}}, {}},
      {"a.srt", kSrt + "<b><u>x</u></b>y\n", "xy", "", {{0, 1, {false, true, true}}}, {}, {}},
      {"a.srt", kSrt + "<I>a</I><B>b</B>\n", "ab", "", {{0, 1, kI}, {1, 2, kB}}, {}, {}},
      {"a.srt", kSrt + "{\\an8}Top\n", "Top", "", {}, {}, kTop},
      {"a.srt", kSrt + "{\\an7}{\\an2}Top\n", "Top", "", {}, {}, {V::kTop, H::kLeft}},
      {"a.srt", kSrt + "{\\i1}a{\\i0}b\n", "ab", "", {{0, 1, kI}}, {}, {}},
      {"a.srt", kSrt + "<font color=\"#ff0000\">red</font>\n", "red", "", {}, {}, {}, true},
      {"a.srt", kSrt + "{\\pos(10,20)}here\n", "here", "", {}, {}, {}, true},
      {"a.srt", kSrt + "{\\blur2\\be1\\bord3}plain\n", "plain", "", {}, {}, {}},
      {"a.vtt", kVtt + "\n<i.loud>Hello</i> <b>you</b>\n", "Hello you", "", {{0, 5, kI}, {6, 9, kB}}, {}, {}},
      {"a.vtt", kVtt + " line:0%\nTop\n", "Top", "", {}, {}, {V::kTop, H::kChosen}},
      {"a.vtt", kVtt + " line:0 align:left\nTop\n", "Top", "", {}, {}, {V::kTop, H::kLeft}},
      {"a.vtt", kVtt + " line:15.5%,start\nTop\n", "Top", "", {}, {}, {V::kTop, H::kChosen}},
      {"a.vtt", kVtt + " line:50%\nMid\n", "Mid", "", {}, {}, {V::kMiddle, H::kChosen}},
      {"a.vtt", kVtt + " line:-1 align:end\nLow\n", "Low", "", {}, {}, {V::kChosen, H::kRight}},
      {"a.vtt", kVtt + " line:85%\nLow\n", "Low", "", {}, {}, {}},
      {"a.sub", kSub + "{y:i}Hello|World\n", "Hello", "World", {{0, 5, kI}}, {}, {}},
      {"a.sub", kSub + "{Y:i}Hello|World\n", "Hello", "World", {{0, 5, kI}}, {{0, 5, kI}}, {}},
      {"a.sub", kSub + "Hello|{y:bi}World\n", "Hello", "World", {}, {{0, 5, {true, true, false}}}, {}},
      {"a.sub", kSub + "/Hello|<u>World</u>\n", "Hello", "World", {{0, 5, kI}}, {{0, 5, kU}}, {}},
      {"a.sub", kSub + "{c:$0000ff}Blue\n", "Blue", "", {}, {}, {}, true},
      {"a.ass", Ass("{\\i1}Hello{\\i0} you"), "Hello you", "", {{0, 5, kI}}, {}, kBottom},
      {"a.ass", Ass("{\\b1}a{\\r}b\\Nc"), "ab", "c", {{0, 1, kB}}, {}, kBottom},
      {"a.ass", Ass("{\\an8}Sign"), "Sign", "", {}, {}, kTop},
      {"a.ass", Ass("{\\1c&H0000FF&}red"), "red", "", {}, {}, kBottom, true},
      {"a.ass", Ass("Sign{\\i0} roman", kItalicTop), "Sign roman", "", {{0, 4, kI}}, {}, kTop},
      {"a.ass", Ass("{\\an2}Low", kItalicTop), "Low", "", {{0, 3, kI}}, {}, kBottom},
      {"a.ssa", Ass("Bold sign", kSsaBoldTop, true), "Bold sign", "", {{0, 9, kB}}, {}, kTop},
      {"a.ssa", Ass("{\\a9}Left mid", kSsaBoldTop, true), "Left mid", "", {{0, 8, kB}}, {}, {V::kMiddle, H::kLeft}},
  };
  for (const auto& c : cases) {
    const test::Loaded loaded = test::LoadBytes(c.text, c.name);
    ASSERT_FALSE(loaded.document.Lines.empty()) << c.text;
    const SubtitleLine& line = loaded.document.Lines.back();
    EXPECT_EQ(std::tie(line.Line1, line.Line2, line.Style.runs[0], line.Style.runs[1], line.Style.placement,
                       line.Style.unsupported),
              std::tie(c.line1, c.line2, c.runs1, c.runs2, c.placement, c.unsupported))
        << c.text;
  }
}

// Three lines are kept; a fourth is noted in every format, a third is not.
TEST(StyleMarkup, LinesBeyondTheThirdAreNoted) {
  const std::tuple<const char*, std::string, bool> cases[] = {
      {"a.srt", kSrt + "1\n2\n3\n4\n", true},   {"a.srt", kSrt + "1\n2\n3\n", false},
      {"a.srt", kSrt + "1\\N2\n3\\N4\n", true}, {"a.vtt", kVtt + "\n1\n2\n3\n4\n", true},
      {"a.sub", kSub + "1|2|3|4\n", true},      {"a.sub", kSub + "1|2|3\n", false},
      {"a.ass", Ass("1\\N2\\N3\\N4"), true},    {"a.ass", Ass("1\\N2\\N3"), false}};
  for (const auto& [name, text, moreLines] : cases) {
    const test::Loaded loaded = test::LoadBytes(text, name);
    ASSERT_FALSE(loaded.document.Lines.empty()) << text;
    const SubtitleLine& line = loaded.document.Lines.back();
    EXPECT_EQ(line.Style.moreLines, moreLines) << text;
    EXPECT_EQ(line.Line3.substr(0, line.Style.thirdLineBytes), "3") << text;
  }
}

// Each number's place: ASS numbers rows from the bottom like a keypad; SSA adds 4 for the top and 8 for the middle.
TEST(StyleMarkup, AlignmentNumbersOfAssAndSsa) {
  const EntryPlacement none{}, bottomLeft{V::kBottom, H::kLeft}, bottomRight{V::kBottom, H::kRight},
      middle{V::kMiddle, H::kCentre}, topLeft{V::kTop, H::kLeft}, topRight{V::kTop, H::kRight};
  const std::tuple<int, bool, EntryPlacement> cases[] = {
      {1, false, bottomLeft}, {5, false, middle},     {9, false, topRight}, {0, false, none},
      {10, false, none},      {3, true, bottomRight}, {5, true, topLeft},   {7, true, topRight},
      {10, true, middle},     {4, true, none},        {8, true, none}};
  for (const auto& [number, legacy, placement] : cases) {
    EXPECT_EQ(PlacementFromAlignment(number, legacy), placement) << number << (legacy ? " SSA" : " ASS");
  }
}

}  // namespace
}  // namespace quillet
