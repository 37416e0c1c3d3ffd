// Breaking an entry again when a line is too wide: where the breaks go, which author's lines stay, and when there
// is no way.
#include "render/line_wrap.h"

#include <gtest/gtest.h>

#include <vector>

#include "render_test_support.h"

namespace quillet {
namespace {

using test::Font;
using test::SharedEngine;

// `count` words of four M each, one blank between them: at size 30 four fit in a line, five do not.
std::string Words(int count, const std::string& blank = " ") {
  std::string text = "MMMM";
  for (int i = 1; i < count; ++i) text += blank + "MMMM";
  return text;
}

using Lines = std::vector<std::string>;

std::optional<Lines> Break(const Lines& lines, int maxLines, const FontDesc& font = Font(30)) {
  const std::vector<std::string_view> views(lines.begin(), lines.end());
  const std::optional<BrokenLines> broken = BreakLongLines(SharedEngine(), views, font, maxLines);
  if (!broken) return std::nullopt;
  Lines out;
  for (const std::string& line : broken->lines) {
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

TEST(LineWrap, TwoLinesBreakAtTheBlankThatBalancesThemOrNowhere) {
  const std::tuple<Lines, std::optional<Lines>> cases[] = {
      {{Words(3), Words(3)}, std::nullopt},                             // both fit: nothing to do
      {{Words(8)}, Lines{Words(4), Words(4)}},                          // equal halves
      {{Words(7)}, Lines{Words(3), Words(4)}},                          // a tie: the shorter line on top
      {{Words(6), Words(2)}, Lines{Words(4), Words(4)}},                // no room: both lines together
      {{Words(8, " \t ")}, Lines{Words(4, " \t "), Words(4, " \t ")}},  // a tab is a blank too
      {{Words(8, "   ")}, Lines{Words(4, "   "), Words(4, "   ")}},     // the run of blanks goes
      {{Words(9)}, std::nullopt},                                       // no break makes both fit
      {{std::string(60, 'M')}, std::nullopt},                           // no blank at all
      {{Words(3), Words(3), Words(9)}, std::nullopt},                   // a third line is not taken
  };
  for (const auto& [lines, broken] : cases) {
    EXPECT_EQ(Break(lines, 2), broken) << lines[0] << " | " << (lines.size() > 1 ? lines[1] : "");
  }
}

TEST(LineWrap, ThreeLinesKeepTheAuthorsLinesThatFitAndBreakOnlyTheOthers) {
  const std::tuple<Lines, std::optional<Lines>> cases[] = {
      {{Words(2), Words(6)}, Lines{Words(2), Words(3), Words(3)}},            // the fitting sentence stays
      {{Words(6), Words(2)}, Lines{Words(3), Words(3), Words(2)}},            // on either side
      {{Words(2), Words(8)}, Lines{Words(2), Words(4), Words(4)}},            // its own two lines balanced
      {{Words(12)}, Lines{Words(4), Words(4), Words(4)}},                     // one line into three
      {{Words(10)}, Lines{Words(3), Words(3), Words(4)}},                     // balanced, widest line least
      {{Words(9)}, Lines{Words(3), Words(3), Words(3)}},                      // two would not do
      {{Words(13)}, std::nullopt},                                            // three would not do either
      {{Words(6), Words(6)}, Lines{Words(4), Words(4), Words(4)}},            // 2 + 2 lines: joined
      {{Words(1), Words(1), Words(6)}, Lines{Words(2), Words(3), Words(3)}},  // the two short ones joined
      {{Words(6), Words(1), Words(1)}, Lines{Words(3), Words(3), Words(2)}},  // on either side
      {{Words(3), Words(3), Words(5)}, Lines{Words(3), Words(4), Words(4)}},  // the last two joined
      {{Words(5), Words(2), Words(5)}, Lines{Words(4), Words(4), Words(4)}},  // no pair is enough: all
      {{Words(3), Words(3), Words(3)}, std::nullopt},                         // all fit
  };
  for (const auto& [lines, broken] : cases) {
    std::string shown;
    for (const std::string& line : lines) shown += line + " | ";
    EXPECT_EQ(Break(lines, 3), broken) << shown;
  }
}

TEST(LineWrap, EveryNewLineSaysWhereItsBytesCameFrom) {
  const std::string second = Words(6);
  const std::vector<std::string_view> lines{"Short one.", second};
  const std::optional<BrokenLines> broken = BreakLongLines(SharedEngine(), lines, Font(30), 3);
  ASSERT_TRUE(broken);
  const std::string joined = "Short one. " + second;
  for (std::size_t k = 0; k < broken->lines.size(); ++k) {
    const ByteRange from = broken->from[k];
    EXPECT_EQ(joined.substr(from.begin, from.end - from.begin), broken->lines[k]);
  }
}

TEST(LineWrap, ASqueezedFontFitsAThirdMoreOnALine) {
  FontDesc wide = Font(30);
  wide.aspect = DisplayAspect::Wide16x9;
  EXPECT_EQ(Break({Words(6)}, 2, wide), std::nullopt) << "six words fit a 16:9 line";
  EXPECT_EQ(Break({Words(12)}, 2, wide), (Lines{Words(6), Words(6)}));
}

}  // namespace
}  // namespace quillet
