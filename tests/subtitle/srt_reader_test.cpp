// The SubRip reader: time lines by shape, entry text up to the first empty line, and its failures.
#include "subtitle/srt_reader.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/errors.h"
#include "loading.h"
#include "subtitle/srt_time_line.h"

namespace quillet {
namespace {

using test::Entry;
using test::LoadBytes;

TEST(SrtReader, TimeLinesInTheFormsToolsWrite) {
  struct Case {
    const char* line;
    std::optional<SrtTimes> times;
  };
  const std::optional<SrtTimes> none;
  for (const auto& [line, times] : std::initializer_list<Case>{
           {"00:00:01,000 --> 00:00:04,000", SrtTimes{1000, 4000}},
           {"01:02:03,456 --> 01:02:04.000", SrtTimes{3723456, 3724000}},
           {"0:00:01,000 --> 0:00:04,000", SrtTimes{1000, 4000}},  // one-digit hours
           {"100:0:5.1 --> 100:0:6.12", SrtTimes{360005001, 360006012}},
           {"00:00:01,5 --> 00:00:02,50", SrtTimes{1005, 2050}},  // the fraction counts milliseconds
           {"00:00:01,000-->00:00:02,000", SrtTimes{1000, 2000}},
           {" \t00:00:01,000 \t -->\t00:00:02,000", SrtTimes{1000, 2000}},
           {"00:00:01,000 --> 00:00:02,000 X1:100 X2:600 Y1:10 Y2:50", SrtTimes{1000, 2000}},
           {"00:99:99,999 --> 00:00:00,000", SrtTimes{6039999, 0}},  // no range test on minutes and seconds
           {"596:31:23,647 --> 00:00:00,000", SrtTimes{2147483647, 0}},
           {"596:31:23,648 --> 00:00:00,000", none},  // past 32-bit milliseconds
           {"00:00:01 --> 00:00:02", none},           // no fraction
           // Fields of any length, signs and blanks before a number, as ffmpeg reads them.
           {"00:00:01,1234 --> 00:00:02,0001", SrtTimes{2234, 2001}},
           {"00:000:013,567 --> 00:00:015,000", SrtTimes{13567, 15000}},
           {"-1:00:00,000 --> 00:00:02,000", SrtTimes{-3600000, 2000}},
           {"00:00:-2,-345 --> 00:00:01,234", SrtTimes{-2345, 1234}},   // ffmpeg's own times before zero
           {"-00:00:02,345 --> 00:00: 03,000", SrtTimes{-2345, 3000}},  // a leading minus negates the time
           {"00:00:00,00000000000 --> 00:00:02,000", none},             // more digits than any time has
           {"00:00:01,000 --> ", none},
           {" --> 00:00:02,000", none},
           {"00:00:01,000 -> 00:00:02,000", none},
           {"00 : 00 : 01,000 --> 00:00:02,000", none}}) {
    EXPECT_EQ(ParseSrtTimeLine(line), times) << line;
  }
  SrtTimeProblem problem;
  ParseSrtTimeLine("00:00:01,000 --> 00:00:", &problem);
  EXPECT_EQ(problem, "the end time cannot be read");
  ParseSrtTimeLine("00:00 --> 00:00:01,000", &problem);
  EXPECT_EQ(problem, "the start time cannot be read");
}

TEST(SrtReader, OneTimeConvertsOnlyWhenItIsWholly) {
  EXPECT_EQ(SrtTimeToMs("01:02:03,456"), "3723456");
  EXPECT_EQ(SrtTimeToMs("0:0:1.5"), "1005");
  for (const char* time : {"", "00:00:01", "00:00:01,000 ", "0a:00:01,000"}) {
    EXPECT_THROW(SrtTimeToMs(time), ConversionError) << time;
  }
  try {
    SrtTimeToMs("00:0x:0y,000");
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'00:0x:0y,000' is not a valid time");
  }
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
  EXPECT_EQ(test::TextOf(loaded.document.Lines), expected);
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

TEST(SrtReader, UnreadableEntriesAreSkippedAndTheRestLoads) {
  const std::string file =
      "1\n00:00:01,000 --> 00:00:02,000\nkept\n\n"     // lines 1-4
      "2\n00:00:03,000 --> \ndropped\nand this\n\n"    // 5-9: no end time
      "3\nno time at all\n\n"                          // 10-12
      "4\n00:00:07,000 --> 00:00:08,000\nkept too\n";  // 13-15
  TSubtitle document;
  const std::vector<SkippedEntry> skipped = ReadSrt(file, document);
  EXPECT_EQ(document.Lines,
            (std::vector<SubtitleLine>{Entry("1000", "2000", "kept"), Entry("7000", "8000", "kept too")}));
  EXPECT_EQ(skipped, (std::vector<SkippedEntry>{{6, "the end time cannot be read"}, {10, "no time line"}}));

  auto loaded = LoadBytes(file, "film.srt");
  EXPECT_EQ(loaded.document.Count(), 2);
  ASSERT_EQ(loaded.messages.size(), 1u);
  EXPECT_TRUE(loaded.messages[0].starts_with("2 entries of \"")) << loaded.messages[0];
  EXPECT_TRUE(loaded.messages[0].ends_with(
      "film.srt\" could not be read and were skipped:\rline 6: the end time cannot be read\rline 10: no time line"))
      << loaded.messages[0];
}

TEST(SrtReader, ABlanksOnlyLineEndsTheText) {
  auto loaded = LoadBytes("1\n00:00:01,000 --> 00:00:02,000\nOne\n \t \n2\n00:00:03,000 --> 00:00:04,000\nTwo\n");
  EXPECT_EQ(loaded.document.Lines,
            (std::vector<SubtitleLine>{Entry("1000", "2000", "One"), Entry("3000", "4000", "Two")}));
  EXPECT_TRUE(loaded.messages.empty());
}

TEST(SrtReader, MarkupIsRemovedAndBreaksMakeLines) {
  auto loaded = LoadBytes(
      "1\n00:00:01,000 --> 00:00:02,000\n{\\an8}<I>Top</i>\\NSecond{\\i0}\\hline\n\n"
      "2\n00:00:03,000 --> 00:00:04,000\n{\\pos(10,20)}\n<font color=\"#ff0000\">Red</FONT>\n\n"
      "3\n00:00:05,000 --> 00:00:06,000\na\\nb\\Nc\\Nd\n\n"
      "4\n00:00:07,000 --> 00:00:08,000\n{\\an8 never closed\n");
  EXPECT_EQ(test::TextOf(loaded.document.Lines),
            (std::vector<SubtitleLine>{
                Entry("1000", "2000", "Top", "Second line"), Entry("3000", "4000", "Red"),  // the markup line is gone
                Entry("5000", "6000", "a", "b", "c"), Entry("7000", "8000", "{\\an8 never closed")}));
}

TEST(SrtReader, NoTimeLineAtAllIsNotSubRip) {
  auto loaded = LoadBytes("1\n00:00:01,000 --> 00:00:0\nText\n");
  EXPECT_EQ(loaded.messages, std::vector<std::string>{"Unsupported Subtitle Format !"});
  EXPECT_FALSE(loaded.document.Loaded);
}

TEST(SrtReader, EntriesBeforeTheFilmAndBlocksInBraces) {
  auto loaded = LoadBytes(
      "1\n00:00:-5,000 --> 00:00:00,000\nnever shown\n\n"          // lines 1-4
      "2\n00:00:02,000 --> 00:00:03,000\n{note} text {}here{\n\n"  // 5-8
      "3\n00:00:04,000 --> 00:00:05,000\n{\\p1}m 0 0 l 9 9{\\p0}\n");
  EXPECT_EQ(loaded.document.Lines,
            (std::vector<SubtitleLine>{Entry("2000", "3000", " text here{"), Entry("4000", "5000")}));
  ASSERT_EQ(loaded.messages.size(), 1u);
  EXPECT_TRUE(loaded.messages[0].ends_with("\rline 2: ends at or before 00:00:00,000, so it is never shown"))
      << loaded.messages[0];
}

}  // namespace
}  // namespace quillet
