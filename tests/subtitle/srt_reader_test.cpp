// The SubRip reader: time lines by shape, entry text up to the first empty line, and its failures.
#include "subtitle/srt_reader.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "loading.h"

namespace quillet {
namespace {

using test::Entry;
using test::LoadBytes;

TEST(SrtReader, ConvertsTimesToMilliseconds) {
  struct Case {
    const char* time;
    const char* ms;
  };
  for (auto [time, ms] : std::initializer_list<Case>{{"00:00:01,000", "1000"},
                                                     {"01:02:03,456", "3723456"},
                                                     {"00:00:01.000", "1000"},  // separators are not examined
                                                     {"00x00x01x000", "1000"},
                                                     {"00:99:99,999", "6039999"},  // no range test
                                                     {"99:59:59,999", "359999999"},
                                                     {"-1:00:00,000", "-3600000"},
                                                     {"00:00:00,2147483647", "2147483647"}}) {
    EXPECT_EQ(SrtTimeToMs(time), ms) << time;
  }
}

TEST(SrtReader, TimeThatDoesNotConvertNamesFieldAndTime) {
  for (const char* time : {"0a:00:01,000", "00:00:01,00 ", "", "00:00:01", "00:00:00,2147483648"}) {
    EXPECT_THROW(SrtTimeToMs(time), ConversionError) << time;
  }
  try {
    SrtTimeToMs("00:0x:0y,000");
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'0x' is not a valid integer value in the time '00:0x:0y,000'");
  }
  // Sums past 32 bits are refused rather than wrapped to a wrong time.
  EXPECT_THROW(SrtTimeToMs("00:00:01,2147483000"), ConversionError);
}

TEST(SrtReader, TimeLineIsRecognisedByShapeOnly) {
  EXPECT_TRUE(IsSrtTimeLine("00:00:01,000 --> 00:00:04,000"));
  EXPECT_TRUE(IsSrtTimeLine("00:00:01,000 --> 00:00:04,000 X1:100 X2:600"));
  EXPECT_TRUE(IsSrtTimeLine("aaaaaaaaaaaaa-->aaaaaaaaaaaaa"));
  EXPECT_FALSE(IsSrtTimeLine("00:00:01,000 --> 00:00:04,00"));    // 28 characters
  EXPECT_FALSE(IsSrtTimeLine("0:00:01,000 --> 0:00:04,000000"));  // arrow at 13..15
  EXPECT_FALSE(IsSrtTimeLine("00:00:01,000  --> 00:00:04,000"));
}

TEST(SrtReader, ReadsEntriesOfOneToFourLines) {
  auto loaded = LoadBytes(test::ReadFile(test::DataFile("srt_entries_crlf.srt")));
  EXPECT_TRUE(loaded.messages.empty());
  EXPECT_TRUE(loaded.document.Loaded);
  std::vector<SubtitleLine> expected = {
      Entry("1000", "4000", "One line."),
      Entry("5000", "8500", "Two", "lines."),
      Entry("60000", "62000", "Three", "lines", "here."),
      Entry("3723456", "3725000", "Four", "lines", "of"),  // position data ignored, fourth line dropped
      Entry("4200000", "4201000", "Last, with no line end"),
  };
  EXPECT_EQ(loaded.document.Lines, expected);
}

TEST(SrtReader, EntryTextEndsAtFirstEmptyLine) {
  // A time line followed directly by a blank line gives an empty entry; the next entry is not lost.
  auto loaded = LoadBytes(
      "1\n00:00:01,000 --> 00:00:02,000\n\n2\n00:00:03,000 --> 00:00:04,000\nSecond\n\n3\n"
      "00:00:05,000 --> 00:00:06,000\nThird\n");
  EXPECT_EQ(loaded.document.Lines, (std::vector<SubtitleLine>{Entry("1000", "2000"), Entry("3000", "4000", "Second"),
                                                              Entry("5000", "6000", "Third")}));
}

TEST(SrtReader, TimeLineIsNeverTakenAsText) {
  auto loaded = LoadBytes("1\n00:00:01,000 --> 00:00:02,000\n00:00:03,000 --> 00:00:04,000\nSecond\nsecond line\n");
  EXPECT_EQ(loaded.document.Lines,
            (std::vector<SubtitleLine>{Entry("1000", "2000"), Entry("3000", "4000", "Second", "second line")}));
}

TEST(SrtReader, MissingBlankLineDoesNotSwallowTheNextEntry) {
  // The sequence number right before a time line belongs to the next entry.
  auto loaded =
      LoadBytes("1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\nWorld\r\n");
  EXPECT_EQ(loaded.document.Lines,
            (std::vector<SubtitleLine>{Entry("1000", "2000", "Hello"), Entry("3000", "4000", "World")}));
}

TEST(SrtReader, NumbersInTheTextStayText) {
  auto loaded = LoadBytes("1\n00:00:01,000 --> 00:00:02,000\nRoom\n101\n2020\n\n");
  EXPECT_EQ(loaded.document.Lines, (std::vector<SubtitleLine>{Entry("1000", "2000", "Room", "101", "2020")}));
}

TEST(SrtReader, AcceptsEveryLineEndAndAByteOrderMark) {
  const std::vector<SubtitleLine> expected = {Entry("1000", "2000", "a", "b"), Entry("3000", "4000", "c")};
  for (const char* end : {"\n", "\r\n", "\r"}) {
    std::string e = end;
    std::string file = "1" + e + "00:00:01,000 --> 00:00:02,000" + e + "a" + e + "b" + e + e + "2" + e +
                       "00:00:03,000 --> 00:00:04,000" + e + "c" + e;
    EXPECT_EQ(LoadBytes(file).document.Lines, expected) << int(end[0]);
    EXPECT_EQ(LoadBytes("\xEF\xBB\xBF" + file).document.Lines, expected) << "with BOM";
  }
}

TEST(SrtReader, KeepsTextBytesAsRead) {
  std::string text("caf\xE9 \x00 \xC3\xA9t\xC3\xA9  ", 13);
  auto loaded = LoadBytes("1\n00:00:01,000 --> 00:00:02,000\n" + text + "\n<u>x</u>\n");
  ASSERT_EQ(loaded.document.Count(), 1);
  EXPECT_EQ(loaded.document.GetLine(1).Line1, text);
  EXPECT_EQ(loaded.document.GetLine(1).Line2, "x");
}

TEST(SrtReader, OverlapsAndBackwardTimesStayAsRead) {
  auto loaded = LoadBytes(
      "1\n00:00:05,000 --> 00:00:01,000\nbackwards\n\n2\n00:00:05,000 --> 00:00:05,000\nzero\n\n"
      "3\n00:00:05,000 --> 00:00:01,000\nbackwards\n");
  ASSERT_EQ(loaded.document.Count(), 3);
  EXPECT_EQ(loaded.document.GetLine(1), loaded.document.GetLine(3));
  EXPECT_EQ(loaded.document.GetLine(2).EndTime, "5000");
}

TEST(SrtReader, BadTimeLineShapesDropTheirEntry) {
  auto loaded = LoadBytes(
      "1\n00:00:01,000 --> 00:00:02,000\nkept\n\n2\n0:00:03,000 --> 0:00:04,000\ndropped\n\n"
      "3\n00:00:05,00 --> 00:00:06,000\ndropped too\n\n4\n00:00:07,000 --> 00:00:08,000\nkept too\n");
  EXPECT_EQ(loaded.document.Lines,
            (std::vector<SubtitleLine>{Entry("1000", "2000", "kept"), Entry("7000", "8000", "kept too")}));
}

TEST(SrtReader, NoTimeLineLoadsEmpty) {
  // The second line passes detection (arrow at 14..16) but is too short to be a time line.
  auto loaded = LoadBytes("1\n00:00:01,000 --> 00:00:0\nText\n");
  EXPECT_TRUE(loaded.messages.empty());
  EXPECT_TRUE(loaded.document.Loaded);
  EXPECT_EQ(loaded.document.Count(), 0);
}

TEST(SrtReader, BadTimeEndsTheLoadAndKeepsEarlierEntries) {
  test::TempDir dir;
  std::string path = dir.Write("broken.srt",
                               "1\n00:00:01,000 --> 00:00:02,000\nfine\n\n2\n00:00:03,000 --> 00:00:04,000\n"
                               "fine too\n\n3\n00:00:05,000 --> 00:0x:06,000\nnever read\n");
  test::RecordingSink sink;
  TSubtitle document;
  try {
    document.LoadFromFile(path, true, sink);
    FAIL() << "no error";
  } catch (const ConversionError& e) {
    EXPECT_EQ(std::string(e.what()),
              "'0x' is not a valid integer value in the time '00:0x:06,000' (file \"" + path + "\", line 10)");
  }
  EXPECT_TRUE(document.Loaded);
  EXPECT_EQ(document.Count(), 2);
}

}  // namespace
}  // namespace quillet
