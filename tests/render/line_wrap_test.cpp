// Breaking an entry again when a line is too wide: where the break goes, and when there is none.
#include "render/line_wrap.h"

#include <gtest/gtest.h>

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

TEST(LineWrap, BreaksAtTheBlankThatBalancesTheLinesOrNowhere) {
  FontEngine& engine = SharedEngine();
  const FontDesc font = Font(30);
  const std::tuple<std::string, std::string, std::optional<BrokenLines>> cases[] = {
      {Words(3), Words(3), std::nullopt},                                       // both fit: nothing to do
      {Words(8), "", BrokenLines{Words(4), Words(4)}},                          // equal halves
      {Words(7), "", BrokenLines{Words(3), Words(4)}},                          // a tie: the shorter line on top
      {Words(6), Words(2), BrokenLines{Words(4), Words(4)}},                    // both lines together
      {Words(8, " \t "), "", BrokenLines{Words(4, " \t "), Words(4, " \t ")}},  // a tab is a blank too
      {Words(8, "   "), "", BrokenLines{Words(4, "   "), Words(4, "   ")}},     // the run of blanks goes
      {Words(9), "", std::nullopt},                                             // no break makes both fit
      {std::string(60, 'M'), "", std::nullopt},                                 // no blank at all
  };
  for (const auto& [line1, line2, broken] : cases) {
    EXPECT_EQ(BreakLongLines(engine, line1, line2, font), broken) << line1 << " | " << line2;
  }
}

}  // namespace
}  // namespace quillet
