// What the readers keep of a line beyond its letters: italic, bold and underline runs, the entry's place, and
// colours or positions noted as not drawn.
#include <gtest/gtest.h>

#include "loading.h"
#include "subtitle/markup.h"

namespace quillet {
namespace {

constexpr StyleFlags kItalic{true, false, false};
constexpr StyleFlags kBold{false, true, false};
constexpr StyleFlags kUnderline{false, false, true};
constexpr StyleFlags kBoldUnderline{false, true, true};
constexpr StyleFlags kBoldItalic{true, true, false};

constexpr EntryPlacement kTopCentre{VerticalPlace::kTop, HorizontalPlace::kCentre};
constexpr EntryPlacement kBottomCentre{VerticalPlace::kBottom, HorizontalPlace::kCentre};

struct Case {
  const char* name;  // the file's name: its extension chooses the reader
  std::string text;  // the whole file
  std::string line1, line2;
  StyleRuns runs1, runs2;
  EntryPlacement placement;
  bool unsupported = false;
};

const std::string kSrtHead = "1\n00:00:01,000 --> 00:00:02,000\n";
const std::string kVttHead = "WEBVTT\n\n00:01.000 --> 00:02.000";
const std::string kSubHead = "{1}{1}25\n{25}{50}";
std::string Ass(const std::string& styles, const std::string& text, bool legacy = false) {
  return "[Script Info]\nScriptType: v4.00+\n\n" + std::string(legacy ? "[V4 Styles]\n" : "[V4+ Styles]\n") + styles +
         "\n[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
         "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,," +
         text + "\n";
}
const std::string kPlainStyle =
    "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, Italic, "
    "Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, MarginL, "
    "MarginR, MarginV, Encoding\n"
    "Style: Default,Arial,20,&H00FFFFFF,&H000000FF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,2,0,2,10,10,10,1\n";
const std::string kItalicTopStyle =
    "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, Italic, "
    "Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, MarginL, "
    "MarginR, MarginV, Encoding\n"
    "Style: Default,Arial,20,&H00FFFFFF,&H000000FF,&H00000000,&H00000000,0,-1,0,0,100,100,0,0,1,2,0,8,10,10,10,1\n";
// SSA's own columns, without Underline, and its alignment numbers: 6 is the top centre.
const std::string kSsaTopStyle =
    "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, TertiaryColour, BackColour, Bold, Italic, "
    "BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, AlphaLevel, Encoding\n"
    "Style: Default,Arial,20,16777215,65535,65535,0,-1,0,1,2,0,6,10,10,10,0,0\n";

TEST(StyleMarkup, ReadersKeepStyleRunsAndPlacement) {
  const Case cases[] = {
      // SubRip
      {"a.srt", kSrtHead + "<i>Hello</i>\n", "Hello", "", {{0, 5, kItalic}}, {}, {}},
      {"a.srt", kSrtHead + "Hello <i>there</i>!\n", "Hello there!", "", {{6, 11, kItalic}}, {}, {}},
      {"a.srt", kSrtHead + "<i>one\ntwo</i> three\n", "one", "two three", {{0, 3, kItalic}}, {{0, 3, kItalic}}, {}},
      {"a.srt", kSrtHead + "<b><u>x</u></b>y\n", "xy", "", {{0, 1, kBoldUnderline}}, {}, {}},
      {"a.srt", kSrtHead + "<I>a</I><B>b</B>\n", "ab", "", {{0, 1, kItalic}, {1, 2, kBold}}, {}, {}},
      {"a.srt", kSrtHead + "{\\an8}Top\n", "Top", "", {}, {}, kTopCentre},
      {"a.srt", kSrtHead + "{\\an7}{\\an2}Top\n", "Top", "", {}, {}, {VerticalPlace::kTop, HorizontalPlace::kLeft}},
      {"a.srt", kSrtHead + "{\\i1}a{\\i0}b\n", "ab", "", {{0, 1, kItalic}}, {}, {}},
      {"a.srt", kSrtHead + "<font color=\"#ff0000\">red</font>\n", "red", "", {}, {}, {}, true},
      {"a.srt", kSrtHead + "{\\pos(10,20)}here\n", "here", "", {}, {}, {}, true},
      {"a.srt", kSrtHead + "{\\blur2\\be1\\bord3}plain\n", "plain", "", {}, {}, {}},
      // WebVTT
      {"a.vtt",
       kVttHead + "\n<i.loud>Hello</i> <b>you</b>\n",
       "Hello you",
       "",
       {{0, 5, kItalic}, {6, 9, kBold}},
       {},
       {}},
      {"a.vtt", kVttHead + " line:0%\nTop\n", "Top", "", {}, {}, {VerticalPlace::kTop, HorizontalPlace::kChosen}},
      {"a.vtt",
       kVttHead + " line:0 align:left\nTop\n",
       "Top",
       "",
       {},
       {},
       {VerticalPlace::kTop, HorizontalPlace::kLeft}},
      {"a.vtt",
       kVttHead + " line:15.5%,start\nTop\n",
       "Top",
       "",
       {},
       {},
       {VerticalPlace::kTop, HorizontalPlace::kChosen}},
      {"a.vtt", kVttHead + " line:50%\nMid\n", "Mid", "", {}, {}, {VerticalPlace::kMiddle, HorizontalPlace::kChosen}},
      {"a.vtt",
       kVttHead + " line:-1 align:end\nLow\n",
       "Low",
       "",
       {},
       {},
       {VerticalPlace::kChosen, HorizontalPlace::kRight}},
      {"a.vtt", kVttHead + " line:85%\nLow\n", "Low", "", {}, {}, {}},
      // MicroDVD
      {"a.sub", kSubHead + "{y:i}Hello|World\n", "Hello", "World", {{0, 5, kItalic}}, {}, {}},
      {"a.sub", kSubHead + "{Y:i}Hello|World\n", "Hello", "World", {{0, 5, kItalic}}, {{0, 5, kItalic}}, {}},
      {"a.sub", kSubHead + "Hello|{y:bi}World\n", "Hello", "World", {}, {{0, 5, kBoldItalic}}, {}},
      {"a.sub", kSubHead + "/Hello|<u>World</u>\n", "Hello", "World", {{0, 5, kItalic}}, {{0, 5, kUnderline}}, {}},
      {"a.sub", kSubHead + "{c:$0000ff}Blue\n", "Blue", "", {}, {}, {}, true},
      // ASS and SSA
      {"a.ass", Ass(kPlainStyle, "{\\i1}Hello{\\i0} you"), "Hello you", "", {{0, 5, kItalic}}, {}, kBottomCentre},
      {"a.ass", Ass(kPlainStyle, "{\\b1}a{\\r}b\\Nc"), "ab", "c", {{0, 1, kBold}}, {}, kBottomCentre},
      {"a.ass", Ass(kPlainStyle, "{\\an8}Sign"), "Sign", "", {}, {}, kTopCentre},
      {"a.ass", Ass(kPlainStyle, "{\\1c&H0000FF&}red"), "red", "", {}, {}, kBottomCentre, true},
      {"a.ass", Ass(kItalicTopStyle, "Sign{\\i0} roman"), "Sign roman", "", {{0, 4, kItalic}}, {}, kTopCentre},
      {"a.ass", Ass(kItalicTopStyle, "{\\an2}Low"), "Low", "", {{0, 3, kItalic}}, {}, kBottomCentre},
      {"a.ssa", Ass(kSsaTopStyle, "Bold sign", true), "Bold sign", "", {{0, 9, kBold}}, {}, kTopCentre},
      {"a.ssa",
       Ass(kSsaTopStyle, "{\\a9}Left middle", true),
       "Left middle",
       "",
       {{0, 11, kBold}},
       {},
       {VerticalPlace::kMiddle, HorizontalPlace::kLeft}},
  };
  for (const Case& c : cases) {
    const test::Loaded loaded = test::LoadBytes(c.text, c.name);
    const std::vector<SubtitleLine>& lines = loaded.document.Lines;
    ASSERT_FALSE(lines.empty()) << c.text;
    const SubtitleLine& line = lines.back();
    EXPECT_EQ(line.Line1, c.line1) << c.text;
    EXPECT_EQ(line.Line2, c.line2) << c.text;
    EXPECT_EQ(line.Style.runs[0], c.runs1) << c.text;
    EXPECT_EQ(line.Style.runs[1], c.runs2) << c.text;
    EXPECT_EQ(line.Style.placement, c.placement) << c.text;
    EXPECT_EQ(line.Style.unsupported, c.unsupported) << c.text;
  }
}

// Three lines are kept; a fourth is noted in every format, a third is not.
TEST(StyleMarkup, LinesBeyondTheThirdAreNoted) {
  const struct {
    const char* name;
    std::string text;
    bool moreLines;
  } cases[] = {
      {"a.srt", kSrtHead + "1\n2\n3\n4\n", true},
      {"a.srt", kSrtHead + "1\n2\n3\n", false},
      {"a.srt", kSrtHead + "1\\N2\n3\\N4\n", true},
      {"a.vtt", kVttHead + "\n1\n2\n3\n4\n", true},
      {"a.sub", kSubHead + "1|2|3|4\n", true},
      {"a.sub", kSubHead + "1|2|3\n", false},
      {"a.ass", Ass(kPlainStyle, "1\\N2\\N3\\N4"), true},
      {"a.ass", Ass(kPlainStyle, "1\\N2\\N3"), false},
  };
  for (const auto& c : cases) {
    const test::Loaded loaded = test::LoadBytes(c.text, c.name);
    ASSERT_FALSE(loaded.document.Lines.empty()) << c.text;
    EXPECT_EQ(loaded.document.Lines.back().Style.moreLines, c.moreLines) << c.text;
    const SubtitleLine& line = loaded.document.Lines.back();
    EXPECT_EQ(line.Line3.substr(0, line.Style.thirdLineBytes), "3") << c.text;
  }
}

TEST(StyleMarkup, AlignmentNumbersOfAssAndSsa) {
  const struct {
    int number;
    bool legacy;
    EntryPlacement placement;
  } cases[] = {
      {1, false, {VerticalPlace::kBottom, HorizontalPlace::kLeft}},
      {5, false, {VerticalPlace::kMiddle, HorizontalPlace::kCentre}},
      {9, false, {VerticalPlace::kTop, HorizontalPlace::kRight}},
      {0, false, {}},
      {10, false, {}},
      {3, true, {VerticalPlace::kBottom, HorizontalPlace::kRight}},
      {5, true, {VerticalPlace::kTop, HorizontalPlace::kLeft}},
      {7, true, {VerticalPlace::kTop, HorizontalPlace::kRight}},
      {10, true, {VerticalPlace::kMiddle, HorizontalPlace::kCentre}},
      {4, true, {}},
      {8, true, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlacementFromAlignment(c.number, c.legacy), c.placement) << c.number << (c.legacy ? " SSA" : " ASS");
  }
}

}  // namespace
}  // namespace quillet
