// The WebVTT reader: blocks, cue timings, cue text tags and entities, time order.
#include "subtitle/webvtt_reader.h"

#include <gtest/gtest.h>

#include "loading.h"

namespace quillet {
namespace {

using test::Entry;
using test::LoadBytes;

TEST(WebVttReader, ReadsCuesAndSkipsTheOtherBlocks) {
  const std::string file =
      "WEBVTT - a title\nKind: captions\n\n"                                                  // 1-3
      "NOTE a comment\n00:00:01.000 --> 00:00:02.000 is no cue\n\n"                           // 4-6
      "STYLE\n::cue { color: yellow }\n\n"                                                    // 7-9
      "REGION\nid:fred width:40%\n\n"                                                         // 10-12
      "intro\n00:01.000 --> 00:04.000 align:start line:0%\n<v Roger>We are\n<i>here</i>\n\n"  // 13-17
      "00:00:07.000\t-->\t00:00:09.500\nthird\n\n"                                            // 18-20
      "4\n00:12.000 00:13.000 -->\nbad arrow\n\n"                                             // 21-24
      "loose text\nwith no timing\n\n"                                                        // 25-27
      "00:00:-1.000 --> 00:00:02.000\nnegative\n\n"                                           // 28-30
      "01:00:00.5 --> 01:00:01.25\nlast";                                                     // 31-32
  TSubtitle document;
  const std::vector<SkippedEntry> skipped = ReadWebVtt(file, document);
  EXPECT_TRUE(document.Loaded);
  EXPECT_EQ(test::TextOf(document.Lines), (std::vector<SubtitleLine>{
                                              Entry("1000", "4000", "We are", "here"), Entry("7000", "9500", "third"),
                                              Entry("3600005", "3601025", "last"),  // the fraction counts milliseconds
                                          }));
  EXPECT_EQ(skipped, (std::vector<SkippedEntry>{{21, "no \"-->\" right after the start time"},
                                                {25, "no cue timing line (start --> end)"},
                                                {28, "the start time cannot be read"}}));
}

TEST(WebVttReader, CueTimesAndWhereCuesEnd) {
  struct Case {
    const char* cues;
    std::vector<SubtitleLine> lines;
    std::vector<SkippedEntry> skipped;
  };
  const Case cases[] = {
      {"12:34.567 --> 1:12:34.600\nmm:ss", {Entry("754567", "4354600", "mm:ss")}, {}},
      {"00:00.000 --> 00:00.000\nends at 0", {}, {{3, kEndsBeforeFilmStarts}}},
      // A line holding "-->" in a cue's text is the next cue's timing line.
      {"00:01.000 --> 00:02.000\none\n00:03.000 --> 00:04.000\ntwo",
       {Entry("1000", "2000", "one"), Entry("3000", "4000", "two")},
       {}},
      {"00:01.000 --> 00:02.000\none\nx --> y\ntwo",
       {Entry("1000", "2000", "one")},
       {{5, "the start time cannot be read"}}},
  };
  for (const Case& c : cases) {
    TSubtitle document;
    EXPECT_EQ(ReadWebVtt(std::string("WEBVTT\n\n") + c.cues, document), c.skipped) << c.cues;
    EXPECT_EQ(document.Lines, c.lines) << c.cues;
  }
}

TEST(WebVttReader, CueTextLosesItsTagsAndDecodesEntities) {
  for (const auto& [text, drawn] : std::initializer_list<std::pair<const char*, const char*>>{
           {"<c.yellow.bg_blue>Tom &amp; Jerry</c>", "Tom & Jerry"},
           {"&lt;3 &gt; <b>b</b><u>u</u>", "<3 > bu"},
           {"<ruby>漢<rt>kan</rt></ruby> <lang en>word</lang>", "漢kan word"},
           {"karaoke <00:07.500>next", "karaoke next"},
           {"a&nbsp;b &lrm;c&rlm;", "a\u00A0b \u200Ec\u200F"},
           {"&amp;lt; stays &ampx &unknown;", "&lt; stays &ampx &unknown;"},
           {"a < b without a close", "a < b without a close"},
           {"<v Narrator>", ""},
       }) {
    EXPECT_EQ(WebVttCueText(text), drawn) << text;
  }
}

TEST(WebVttReader, IsDetectedByItsFirstWordUnderAnySubtitleName) {
  EXPECT_FALSE(LooksLikeWebVtt("WEBVTTX\n") || LooksLikeWebVtt("\nWEBVTT\n"));
  for (const char* name : {"a.VTT", "a.srt", "a.txt"}) {
    auto loaded = LoadBytes("WEBVTT\tx\r\n\r\n00:01.000 --> 00:02.000\r\nHi\r\n", name);
    EXPECT_EQ(loaded.document.Lines, std::vector<SubtitleLine>{Entry("1000", "2000", "Hi")}) << name;
    EXPECT_TRUE(loaded.document.UnicodeText) << name;  // UTF-8 whatever the charset
  }
}

}  // namespace
}  // namespace quillet
