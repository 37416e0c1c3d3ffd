#include "render/line_length_check.h"

#include <gtest/gtest.h>

#include <vector>

#include "render/charset_decoder.h"
#include "render_test_support.h"

namespace quillet {
namespace {

using test::Font;
using test::SharedEngine;

// A line of `count` letters M at size 50: wide enough to fail.
std::string Ms(int count) { return std::string(static_cast<std::size_t>(count), 'M'); }

TEST(LineLengthCheck, LimitIs680Exclusive) {
  EXPECT_TRUE(LinesFitWidth({679, 30, 679, 30}));
  EXPECT_FALSE(LinesFitWidth({680, 30, 10, 30}));
  EXPECT_FALSE(LinesFitWidth({10, 30, 680, 30}));
  EXPECT_TRUE(LinesFitWidth({0, 30, 0, 30}));
}

TEST(LineLengthCheck, MessagesBreakWithCarriageReturns) {
  EXPECT_EQ(TooLongMessage("one", "two", kTooLongInPreview), "The string \rone\rtwo\ris too long.");
  EXPECT_EQ(
      TooLongMessage("a", "", kTooLongOnLoad),
      "The string \ra\r\ris too long. Please correct the srt and reload it. You can just use a smaler font size.");
  EXPECT_EQ(TooLongMessage("a", "b", kTooLongAfterFontChange),
            "The string \ra\rb\ris too long. Please use a smaler font size.");
}

TEST(LineLengthCheck, VerdictDependsOnWhetherASubtitleIsLoaded) {
  FontEngine& engine = SharedEngine();
  const FontDesc font = Font(50);
  ASSERT_GE(engine.LayoutLine(font, Ms(20)).widthPx, 680);

  EXPECT_EQ(CheckLineLengths(engine, "Rethymno.", "", font, false), LineCheckVerdict{});
  EXPECT_EQ(CheckLineLengths(engine, "", "", font, true), LineCheckVerdict{});  // empty lines never fail

  const LineCheckVerdict onLoad = CheckLineLengths(engine, "short", Ms(20), font, false);
  EXPECT_FALSE(onLoad.linesFit);
  EXPECT_TRUE(onLoad.clearSubtitleList);
  EXPECT_EQ(onLoad.message, TooLongMessage("short", Ms(20), kTooLongOnLoad));  // both lines shown

  const LineCheckVerdict afterChange = CheckLineLengths(engine, Ms(20), "short", font, true);
  EXPECT_FALSE(afterChange.linesFit);
  EXPECT_FALSE(afterChange.clearSubtitleList);
  EXPECT_EQ(afterChange.message, TooLongMessage(Ms(20), "short", kTooLongAfterFontChange));
}

TEST(LineLengthCheck, WidthsAreTheRenderersWidths) {
  // Find the longest run of M that fits at size 30 and check both sides of the limit with real text.
  FontEngine& engine = SharedEngine();
  const FontDesc font = Font(30, StyleFromText("Bold"));
  int n = 1;
  while (engine.LayoutLine(font, Ms(n + 1)).widthPx < 680) ++n;
  EXPECT_TRUE(CheckLineLengths(engine, Ms(n), Ms(n), font, true).linesFit);
  EXPECT_FALSE(CheckLineLengths(engine, Ms(n + 1), "", font, true).linesFit);
}

// The message quotes the lines as they are drawn: a Cyrillic file under RUSSIAN reads as Cyrillic, not as the
// bytes of another code page; text from a UTF-16 file reads as Unicode whatever the charset.
TEST(LineLengthCheck, TheMessageQuotesTextDecodedAsItIsDrawn) {
  FontEngine& engine = SharedEngine();
  const std::string cp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет"
  const std::string utf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
  FontDesc russian = Font(50, {}, "Arial", kCharsetRussian);
  const LineCheckVerdict verdict = CheckLineLengths(engine, cp1251, Ms(20), russian, false);
  EXPECT_EQ(verdict.message, TooLongMessage(utf8, Ms(20), kTooLongOnLoad));

  FontDesc unicode = Font(50, {}, "Arial", kCharsetAnsi);
  unicode.unicodeText = true;
  EXPECT_EQ(SubtitleTextForMessage(engine, utf8, unicode), utf8);
  EXPECT_EQ(engine.LayoutLine(unicode, utf8).widthPx, engine.LayoutLine(russian, cp1251).widthPx);
  EXPECT_NE(engine.LayoutLine(unicode, utf8).widthPx,
            engine.LayoutLine(Font(50, {}, "Arial", kCharsetAnsi), utf8).widthPx);
  // A user whose code set lacks the letters gets question marks rather than bytes of another code page.
  EXPECT_EQ(EncodeInCodeset(U"Да é", "ISO-8859-1"), "?? \xE9");
}

}  // namespace
}  // namespace quillet
