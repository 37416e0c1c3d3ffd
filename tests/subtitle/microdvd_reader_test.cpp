// The MicroDVD reader: frame rate, frame-to-time rounding, line parsing and its failures.
#include "subtitle/microdvd_reader.h"

#include <gtest/gtest.h>

#include <clocale>

#include "base/errors.h"
#include "loading.h"

namespace quillet {
namespace {

using test::Entry;
using test::LoadBytes;

TEST(MicroDvdReader, FramesRoundToNearestMillisecondTiesToEven) {
  struct Case {
    int frame;
    double rate;
    int ms;
  };
  for (auto [frame, rate, ms] : std::initializer_list<Case>{{1, 25, 40},
                                                            {25, 25, 1000},
                                                            {100, 23.976, 4171},
                                                            {1, 29.97, 33},
                                                            {1, 16, 62},   // 62.5 goes to the even neighbour
                                                            {3, 16, 188},  // 187.5 likewise
                                                            {5, 16, 312},  // 312.5
                                                            {0, 25, 0},
                                                            {-5, 25, -200},
                                                            {25, -25, -1000},
                                                            {2147483, 25, 85899320},
                                                            {-2147483, 1, -2147483000}}) {
    EXPECT_EQ(MicroDvdFrameToMs(frame, rate), ms) << frame << " at " << rate;
  }
}

TEST(MicroDvdReader, FramesPast32BitMillisecondsAreRefused) {
  EXPECT_THROW(MicroDvdFrameToMs(2147484, 25), ConversionError);
  EXPECT_THROW(MicroDvdFrameToMs(-2147484, 25), ConversionError);
  EXPECT_THROW(MicroDvdFrameToMs(2147483647, 25), ConversionError);
  EXPECT_THROW(MicroDvdFrameToMs(1000, 1e-300), ConversionError);  // the quotient does not fit
  EXPECT_THROW(MicroDvdFrameToMs(1, 0.0), ConversionError);
}

TEST(MicroDvdReader, RateComesFromTheFirstLineWithAFullStop) {
  EXPECT_DOUBLE_EQ(ReadFps("{1}{1}25.000"), 25.0);
  EXPECT_DOUBLE_EQ(ReadFps("{1}{1}23.976"), 23.976);
  EXPECT_DOUBLE_EQ(ReadFps("{1}{1} 29.97 "), 29.97);
  EXPECT_DOUBLE_EQ(ReadFps("{1}{1}-25"), -25.0);
  EXPECT_EQ(ReadFps("{1}{1}0"), 0.0);
  EXPECT_EQ(ReadFps("{0}{25}Hi"), 0.0);
  EXPECT_EQ(ReadFps("{1}{2}25"), 0.0);
  for (const char* line : {"{1}{1}23,976", "{1}{1}", "{1}{1}fps", "{1}{1}inf", "{1}{1}nan", "{1}{1}1e999"}) {
    EXPECT_THROW(ReadFps(line), ConversionError) << line;
  }
  try {
    ReadFps("{1}{1}23,976");
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'23,976' is not a valid floating point value");
  }
}

TEST(MicroDvdReader, RateIgnoresTheLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  bool switched = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, name)) {
      switched = true;
      break;
    }
  }
  double rate = ReadFps("{1}{1}23.976");
  bool commaFails = false;
  try {
    ReadFps("{1}{1}23,976");
  } catch (const ConversionError&) {
    commaFails = true;
  }
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!switched) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_DOUBLE_EQ(rate, 23.976);
  EXPECT_TRUE(commaFails);
}

TEST(MicroDvdReader, ParsesFramesAndSplitsTextAtBars) {
  EXPECT_EQ(ParseMicroDvdLine("{100}{200}Hello|World", 25), (fivestrings{"4000", "8000", "Hello", "World", ""}));
  EXPECT_EQ(ParseMicroDvdLine("{25}{50}a|b|c|d", 25), (fivestrings{"1000", "2000", "a", "b", "c|d"}));
  EXPECT_EQ(ParseMicroDvdLine("{25}{50}a|b|", 25), (fivestrings{"1000", "2000", "a", "b", ""}));
  EXPECT_EQ(ParseMicroDvdLine("xx{25}{50}Hi", 25), ParseMicroDvdLine("{25}{50}Hi", 25));
  EXPECT_EQ(ParseMicroDvdLine("{25}{50}{y:i}<i>Hi</i>", 25), (fivestrings{"1000", "2000", "{y:i}<i>Hi</i>", "", ""}));
  EXPECT_EQ(ParseMicroDvdLine("{10}{20}", 25), (fivestrings{"400", "800", "", "", ""}));
  EXPECT_EQ(ParseMicroDvdLine("{+10}{-20}x", 25), (fivestrings{"400", "-800", "x", "", ""}));
  EXPECT_EQ(ParseMicroDvdLine("{1}{1}25.000", 25), (fivestrings{"40", "40", "25.000", "", ""}));
}

TEST(MicroDvdReader, MissingOrBadFramesFail) {
  for (const char* line : {"{10}{}", "{10}", "{}{10}x", "hello", "{1.5}{20}x", "{10}{20x", "{ 10}{20}x"}) {
    EXPECT_THROW(ParseMicroDvdLine(line, 25), ConversionError) << line;
  }
  try {
    ParseMicroDvdLine("{10}{2o}x", 25);
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'2o' is not a valid integer value for the end frame");
  }
  std::string problem;
  EXPECT_THROW(ParseMicroDvdLine("{2o}{10}x", 25, &problem), ConversionError);
  EXPECT_EQ(problem, "the start frame cannot be read");
  EXPECT_THROW(ParseMicroDvdLine("{10}{99999999}x", 25, &problem), ConversionError);
  EXPECT_EQ(problem, "the time of a frame is out of range");
}

TEST(MicroDvdReader, FrameRateLineIsTheFirstEntry) {
  auto loaded = LoadBytes("{1}{1}25.000\n{100}{200}Hello|World", "film.sub");
  EXPECT_TRUE(loaded.messages.empty());
  EXPECT_TRUE(loaded.document.Loaded);
  EXPECT_EQ(loaded.document.Lines,
            (std::vector<SubtitleLine>{Entry("40", "40", "25.000"), Entry("4000", "8000", "Hello", "World")}));
}

TEST(MicroDvdReader, ReadsADataFileWithTagsAndCodes) {
  auto loaded = LoadBytes(test::ReadFile(test::DataFile("microdvd_23976.sub")), "film.sub");
  EXPECT_EQ(test::TextOf(loaded.document.Lines),
            (std::vector<SubtitleLine>{Entry("42", "42", "23.976"), Entry("0", "1001", "Hello", "World"),
                                       Entry("4171", "8342", "One", "two", "three|four"), Entry("12513", "16683")}));
}

TEST(MicroDvdReader, MissingFrameRateIsRefusedWithAMessage) {
  for (const char* content : {"{0}{25}Hi\n{30}{40}There\n", "{1}{1}0\n{30}{40}There\n", "{1}{1}0.0"}) {
    auto loaded = LoadBytes(content, "film.txt");
    ASSERT_EQ(loaded.messages.size(), 1u) << content;
    EXPECT_EQ(loaded.messages[0], std::string(kFrameRateMessage));
    EXPECT_FALSE(loaded.document.Loaded);
    EXPECT_EQ(loaded.document.Count(), 0);
  }
  EXPECT_NE(std::string(kFrameRateMessage).find("subtitle\rExample: {1}{1}25.000"), std::string::npos);
}

TEST(MicroDvdReader, EmptyLinesAreSkipped) {
  // An extra line break at the end, and blank lines inside (blanks and tabs too), hold no entry.
  auto loaded = LoadBytes("{1}{1}25\r\n{25}{50}a\r\n\r\n{50}{75}b\r\n  \t\r\n\r\n", "film.sub");
  EXPECT_TRUE(loaded.document.Loaded);
  EXPECT_EQ(loaded.document.Lines, (std::vector<SubtitleLine>{Entry("40", "40", "25"), Entry("1000", "2000", "a"),
                                                              Entry("2000", "3000", "b")}));
}

TEST(MicroDvdReader, EntriesKeepFileOrderAndNegativeTimes) {
  auto loaded = LoadBytes("{1}{1}25\n{100}{200}late\n{-5}{10}early\n", "film.sub");
  EXPECT_EQ(loaded.document.Lines, (std::vector<SubtitleLine>{Entry("40", "40", "25"), Entry("4000", "8000", "late"),
                                                              Entry("-200", "400", "early")}));
}

TEST(MicroDvdReader, ControlCodesAreRemovedAndALineOfCodesOnlyIsDropped) {
  auto loaded = LoadBytes(
      "{1}{1}25\n"
      "{25}{50}{y:i}{C:$0000ff}Hello|{f:Arial}{s:20}World\n"
      "{50}{75}{Y:b}{P:1}|{H:UTF-8}Moved up|third|fourth\n"
      "{75}{100}{a:b} stays|{y:i\n"
      "{100}{125}|second\n",
      "film.sub");
  EXPECT_EQ(
      test::TextOf(loaded.document.Lines),
      (std::vector<SubtitleLine>{Entry("40", "40", "25"), Entry("1000", "2000", "Hello", "World"),
                                 Entry("2000", "3000", "Moved up", "third", "fourth"),
                                 Entry("3000", "4000", "{a:b} stays", "{y:i"), Entry("4000", "5000", "", "second")}));
}

TEST(MicroDvdReader, UnreadableLinesAreSkippedAndTheRestLoads) {
  test::TempDir dir;
  std::string path = dir.Write("film.sub", "{1}{1}25\n{25}{50}a\n{10}{}b\n \t\nno frames\n{3000000}{1}x\n{75}{100}c\n");
  test::ScriptedView sink;
  TSubtitle document;
  document.LoadFromFile(path, true, sink);
  EXPECT_TRUE(document.Loaded);
  EXPECT_EQ(document.Lines, (std::vector<SubtitleLine>{Entry("40", "40", "25"), Entry("1000", "2000", "a"),
                                                       Entry("3000", "4000", "c")}));
  EXPECT_EQ(sink.messages, std::vector<std::string>{"3 entries of \"" + path +
                                                    "\" could not be read and were skipped:\r"
                                                    "line 3: the end frame cannot be read\r"
                                                    "line 5: the start frame cannot be read\r"
                                                    "line 6: the time of a frame is out of range"});

  // A rate that is not a number fails at line 1, before anything is stored.
  std::string comma = dir.Write("comma.sub", "{1}{1}23,976\n{25}{50}a\n");
  TSubtitle other;
  try {
    other.LoadFromFile(comma, true, sink);
    FAIL() << "no error";
  } catch (const ConversionError& e) {
    EXPECT_EQ(std::string(e.what()), "'23,976' is not a valid floating point value (file \"" + comma + "\", line 1)");
  }
  EXPECT_FALSE(other.Loaded);
  EXPECT_EQ(other.Count(), 0);
}

TEST(MicroDvdReader, CodesCountOnlyAtALinesStartAsFfmpegReadsThem) {
  auto loaded = LoadBytes(
      "{1}{1}25\n"
      "{25}{50}Text with {y:i} in the middle|/Italic\n"
      "{50}{75}/{y:b}slash first|{y:b}/{y:i}code first\n"
      "{75}{100}//double|a/b\n"
      "{-50}{0}never shown\n",
      "film.sub");
  EXPECT_EQ(test::TextOf(loaded.document.Lines),
            (std::vector<SubtitleLine>{
                Entry("40", "40", "25"), Entry("1000", "2000", "Text with {y:i} in the middle", "Italic"),
                Entry("2000", "3000", "slash first", "{y:i}code first"), Entry("3000", "4000", "double", "a/b")}));
  ASSERT_EQ(loaded.messages.size(), 1u);
  EXPECT_TRUE(loaded.messages[0].ends_with("line 5: ends at or before 00:00:00,000, so it is never shown"))
      << loaded.messages[0];
}

}  // namespace
}  // namespace quillet
