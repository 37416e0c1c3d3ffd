// The text of a subtitle file: UTF-16 read as Unicode, a UTF-8 byte-order mark dropped, other bytes as read.
#include "subtitle/file_text.h"

#include <gtest/gtest.h>

#include "loading.h"

namespace quillet {
namespace {

using test::Entry;
using test::LoadBytes;

// The UTF-16 form of ASCII and BMP text given as code units, with a byte-order mark first.
std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? hi : lo;
    bytes += bigEndian ? lo : hi;
  }
  return bytes;
}

TEST(FileText, Utf16BecomesUtf8WithEitherByteOrder) {
  for (bool bigEndian : {false, true}) {
    const SubtitleText file = DecodeSubtitleFile(Utf16(u"Привет é\r\n\U0001F600", bigEndian));
    EXPECT_TRUE(file.unicode);
    EXPECT_EQ(file.text, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xC3\xA9\r\n\xF0\x9F\x98\x80") << bigEndian;
  }
  // A lone surrogate and an odd last byte are replaced, not dropped.
  EXPECT_EQ(DecodeSubtitleFile(Utf16(u"a\xD800"
                                     u"b",
                                     false) +
                               "c")
                .text,
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
  EXPECT_EQ(DecodeSubtitleFile("\xFF\xFE").text, "");
}

TEST(FileText, AUtf8MarkIsDroppedAndMakesTheTextUnicode) {
  EXPECT_EQ(DecodeSubtitleFile("\xEF\xBB\xBF\xCF\xF0").text, "\xCF\xF0");
  EXPECT_TRUE(DecodeSubtitleFile("\xEF\xBB\xBF\xCF\xF0").unicode);
  EXPECT_FALSE(DecodeSubtitleFile("\xCF\xF0").unicode);
  EXPECT_EQ(DecodeSubtitleFile(std::string("a\0\xFE\xFF", 4)).text, std::string("a\0\xFE\xFF", 4));
}

TEST(FileText, CodePageIsChosenOnceForTheFile) {
  const std::string russian =
      "\xCC\xFB \xE2\xF1\xF2\xF0\xE5\xF2\xE8\xEC\xF1\xFF \xE7\xE0\xE2\xF2\xF0\xE0 \xED\xE0 "
      "\xE2\xEE\xEA\xE7\xE0\xEB\xE5. \xDD\xF2\xEE\xF2 \xF4\xE8\xEB\xFC\xEC \xE1\xFB\xEB "
      "\xEE\xF7\xE5\xED\xFC \xE8\xED\xF2\xE5\xF0\xE5\xF1\xED\xFB\xEC.";  // Windows-1251
  const CodePageChoice find{true, "", "say"}, chosen{false, "RUSSIAN", "say"};
  const struct {
    std::string text;
    bool byteOrderMark;
    const CodePageChoice& choice;
    bool converted, unicode;
    std::string notice;
  } cases[] = {
      {russian, false, find, true, true, "read as Windows-1251 (found from the text; say)"},
      {"Caf\xE9", false, find, false, false,
       "read as Windows-1252 (the text is not UTF-8 and its code page could not be found; say)"},
      {"Caf\xC3\xA9", false, find, false, false, ""},  // UTF-8 already
      {russian, false, chosen, false, false, ""},      // the charset chosen reads it
      {"Caf\xC3\xA9", true, chosen, false, true,
       "read as Unicode, not RUSSIAN (the file starts with a byte-order mark)"},
      {"Cafe", true, chosen, false, true, ""},  // ASCII reads the same either way
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const TextReading reading = ChooseTextReading({c.text, c.byteOrderMark}, c.choice);
    EXPECT_EQ(reading.converted.has_value(), c.converted);
    EXPECT_EQ(reading.unicode, c.unicode);
    EXPECT_EQ(reading.notice, c.notice);
  }
  EXPECT_EQ(ChooseTextReading({russian, false}, find).converted.value().substr(0, 5), "\xD0\x9C\xD1\x8B ");
}

TEST(FileText, Utf16FilesLoadInBothFormatsAsUnicode) {
  auto srt = LoadBytes(Utf16(u"\r\n1\r\n00:00:01,000 --> 00:00:02,000\r\nДа\r\n", true), "film.srt");
  EXPECT_TRUE(srt.messages.empty());
  EXPECT_TRUE(srt.document.UnicodeText);
  EXPECT_EQ(srt.document.Lines, std::vector<SubtitleLine>{Entry("1000", "2000", "\xD0\x94\xD0\xB0")});
  auto sub = LoadBytes(Utf16(u"{1}{1}25\n{25}{50}Да", false), "film.sub");
  EXPECT_TRUE(sub.document.UnicodeText);
  EXPECT_EQ(sub.document.Lines,
            (std::vector<SubtitleLine>{Entry("40", "40", "25"), Entry("1000", "2000", "\xD0\x94\xD0\xB0")}));
  EXPECT_FALSE(LoadBytes("{1}{1}25\n{25}{50}\xC4\xE0", "film.sub").document.UnicodeText);
}

}  // namespace
}  // namespace quillet
