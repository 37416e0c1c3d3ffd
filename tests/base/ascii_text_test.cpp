// ASCII letter case and blanks: the only case folding and trimming the program does.
#include "base/ascii_text.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(AsciiText, FoldsOnlyAsciiLetters) {
  // "Ä" in CP1252 and in UTF-8 must keep its bytes, whatever the locale says about them.
  EXPECT_EQ(AsciiLower("Film.SRT \xC4 \xC3\x84"), "film.srt \xC4 \xC3\x84");
  EXPECT_TRUE(EqualsIgnoringAsciiCase("FontSize", "fONTsIZE"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC4", "\xE4"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("ab", "abc"));
  EXPECT_TRUE(EndsWithIgnoringAsciiCase("My.BAT", ".bat"));
  EXPECT_FALSE(EndsWithIgnoringAsciiCase("bat", ".bat"));
}

TEST(AsciiText, TrimRemovesSpacesAndControlCharactersOnly) {
  EXPECT_EQ(TrimBlanks(" \t\r\v key = v \x01"), "key = v");
  EXPECT_EQ(TrimBlanks("\xA0x\xA0"), "\xA0x\xA0");  // a no-break space is text
  EXPECT_EQ(TrimBlanks(" \t "), "");
}

}  // namespace
}  // namespace quillet
