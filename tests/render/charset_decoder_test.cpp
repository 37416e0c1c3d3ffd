#include "render/charset_decoder.h"

#include <gtest/gtest.h>

#include "render/name_tables.h"

namespace quillet {
namespace {

struct DecodeCase {
  uint8_t charset;
  std::string bytes;
  std::u32string expected;
};

TEST(CharsetDecoder, EachCharsetReadsItsCodePage) {
  const DecodeCase cases[] = {
      {kCharsetAnsi, "\xE9t\xE9 \x80", U"été €"},
      {kCharsetEastEurope, "\x8A\xE8", U"Šč"},
      {kCharsetRussian, "\xCF\xF0\xE8\xE2\xE5\xF2", U"Привет"},
      {kCharsetGreek, "\xC5\xEB\xEB\xDC\xE4\xE1", U"Ελλάδα"},
      {kCharsetTurkish, "\xF0\xFD\xDE", U"ğıŞ"},
      {kCharsetHebrew, "\xF9\xEC\xE5\xED", U"שלום"},
      {kCharsetArabic, "\xC7\xE1", U"ال"},
      {kCharsetBaltic, "\xE0\xEB", U"ąė"},
      {kCharsetVietnamese, "Vi\xEA\xF2t", U"Vi\u1EC7t"},  // ê + dot below, composed
      {kCharsetThai, "\xA1\xD2", U"กา"},
      {kCharsetShiftJis, "\x82\xA0\x82\xA2", U"あい"},
      {kCharsetGb2312, "\xC4\xE3\xBA\xC3", U"你好"},
      {kCharsetHangeul, "\xB0\xA1", U"가"},
      {kCharsetChineseBig5, "\xA4\x40", U"一"},
      {kCharsetJohab, "\x88\x61", U"가"},
      {kCharsetMac, "\x8E\xA5", U"é•"},
      {kCharsetOem, "\x82\xB0", U"é░"},
      {kCharsetSymbol, "A\xE9", U"A\u00E9"},  // bytes as they are; the font engine maps them
  };
  CharsetDecoder decoder("UTF-8");
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(decoder.Decode(c.bytes, c.charset), c.expected) << "charset " << int(c.charset);
  }
}

// A byte the code page does not define becomes the code point of the same value; decoding goes on.
TEST(CharsetDecoder, UndefinedBytesPassThrough) {
  CharsetDecoder decoder("UTF-8");
  EXPECT_EQ(decoder.Decode("a\x81z\x8D", kCharsetAnsi), U"a\u0081z\u008D");
  EXPECT_EQ(decoder.Decode("\xAA\xE1", kCharsetGreek), U"\u00AAα");
  EXPECT_EQ(decoder.Decode("\x82", kCharsetShiftJis), U"\u0082");  // lead byte cut off at the end
  EXPECT_EQ(decoder.Decode("\xF9x", kCharsetHebrew), U"שx");       // a held-back letter still comes first
  EXPECT_EQ(decoder.Decode("\xF9\xFF\xF9", kCharsetHebrew), U"ש\u00FFש");
}

TEST(CharsetDecoder, DefaultIsTheUserCodePageWithCp1252ForInvalidLines) {
  CharsetDecoder decoder("UTF-8");
  EXPECT_EQ(decoder.Decode("\xC3\xA9t\xC3\xA9 \xCE\xB1", kCharsetDefault), U"été α");
  EXPECT_EQ(decoder.Decode("\xE9t\xE9", kCharsetDefault), U"été");  // not UTF-8: the whole line as CP1252
  EXPECT_EQ(decoder.Decode("\xC3\xA9 \xE9", kCharsetDefault), U"Ã© é");
  EXPECT_EQ(decoder.Decode("", kCharsetDefault), U"");
  // A charset byte outside the table counts as DEFAULT.
  EXPECT_EQ(decoder.Decode("\xC3\xA9", 99), U"é");

  CharsetDecoder greekUser("CP1253");
  EXPECT_EQ(greekUser.Decode("\xE1", kCharsetDefault), U"α");
}

TEST(CharsetDecoder, AsciiLocaleCountsAsUtf8) {
  // An ASCII default would read é in UTF-8 as two CP1252 characters.
  EXPECT_EQ(CharsetDecoder("ANSI_X3.4-1968").Decode("\xC3\xA9", kCharsetDefault),
            CharsetDecoder(UserCodeset()).Decode("\xC3\xA9", kCharsetDefault));
  EXPECT_NE(UserCodeset(), "ANSI_X3.4-1968");
  // An unknown code set name still decodes (as CP1252).
  EXPECT_EQ(CharsetDecoder("NO-SUCH-CODESET").Decode("\xE9", kCharsetDefault), U"é");
}

TEST(CharsetDecoder, LongLinesDecodeWhole) {
  std::string bytes;
  std::u32string expected;
  for (int i = 0; i < 5000; ++i) {
    bytes += "\xE1\xE2";
    expected += U"αβ";
  }
  CharsetDecoder decoder("UTF-8");
  EXPECT_EQ(decoder.Decode(bytes, kCharsetGreek), expected);
}

}  // namespace
}  // namespace quillet
