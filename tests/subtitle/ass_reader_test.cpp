// The ASS/SSA reader: the Format line, Dialogue lines, times, text, time order. Comment lines, SSA v4 and the
// times ffmpeg also reads are the corpus files' (SubtitleCorpus.EveryFileLoadsAsFfmpegReadsIt).
#include "subtitle/ass_reader.h"

#include <gtest/gtest.h>

#include "loading.h"

namespace quillet {
namespace {

using test::Entry;
using test::LoadBytes;

TEST(AssReader, TimesCountHundredthsAsFfmpegReadsThem) {
  for (const auto& [text, ms] : std::initializer_list<std::pair<const char*, std::optional<long long>>>{
           {" 0:00:14.5", 14050},   // five hundredths
           {"0:00:01.500", 6000},   // 500 hundredths
           {"-0:00:01.50", -1500},  // a leading minus negates the time
           {"0:00:-1.00", -1000},
           {"0:00:01", std::nullopt},
           {"0:00:01.00x", std::nullopt},
       }) {
    EXPECT_EQ(AssTimeToMs(text), ms) << text;
  }
}

TEST(AssReader, ReadsTheEventsThroughTheirFormatLine) {
  const std::string file =
      "[Script Info]\nScriptType: v4.00+\n\n"  // 1-3
      "[V4+ Styles]\nFormat: Name, Fontname, Text\nStyle: Default,Arial,x\n"
      "Dialogue: 0,0:00:00.00,0:00:01.00,Default,,0,0,0,,a style section holds no events\n\n"  // 4-8
      " \t[Events]\n"                                                   // 9: blanks before a section header
      "Format: Start, Text-less, End, Style, Text\n"                    // 10
      "Dialogue: 0:00:05.00,x,0:00:07.00,Default,Later, with commas\n"  // 11
      "Dialogue: 0:00:01.00,x,0:00:04.50,Default,{\\an8\\pos(10,20)}{\\i1}Top{\\i0}\\Nsecond\\h<i>!</i>\n"  // 12
      "Dialogue: 0:00:13.00,x,0:00:14.00\n"                                                                 // 13
      "Dialogue: 0:00:1x.00,x,0:00:14.00,Default,bad time\n"                                                // 14
      "Dialogue: 0:00:-3.00,x,0:00:-1.00,Default,before the film\n"                                         // 15
      "Dialogue: 0:00:00.00,x,0:00:00.00,Default,ends at 0\n"                                               // 16
      " [Fonts]\nDialogue: 0:00:20.00,x,0:00:21.00,Default,fonts hold no events\n";                         // 17-18
  TSubtitle document;
  const std::vector<SkippedEntry> skipped = ReadAss(file, document);
  EXPECT_TRUE(document.Loaded);
  EXPECT_EQ(test::TextOf(document.Lines),
            (std::vector<SubtitleLine>{
                Entry("1000", "4500", "Top", "second <i>!</i>"),  // HTML tags are SubRip's, not ASS's
                Entry("5000", "7000", "Later, with commas"),
            }));
  EXPECT_EQ(skipped, (std::vector<SkippedEntry>{{13, "the event has fewer fields than its Format line names"},
                                                {14, "the start time cannot be read"},
                                                {15, kEndsBeforeFilmStarts},
                                                {16, kEndsBeforeFilmStarts}}));
}

TEST(AssReader, CharsetAndDetection) {
  const std::string events = "[script info]\n[Events]\nDialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,";
  EXPECT_TRUE(LoadBytes(events + "caf\xC3\xA9\n", "a.ass").document.UnicodeText);  // no Format line: the usual ten
  const auto cp1252 = LoadBytes(events + "caf\xE9,\n", "a.srt");                   // an ASS file saved as .srt
  EXPECT_FALSE(cp1252.document.UnicodeText);
  EXPECT_EQ(cp1252.document.Lines, std::vector<SubtitleLine>{Entry("1000", "2000", "caf\xE9,")});
  EXPECT_EQ(LoadBytes("[Events]\nDialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,Hi\n", "a.ass").messages,
            std::vector<std::string>{"Unsupported Subtitle Format !"});
}

}  // namespace
}  // namespace quillet
