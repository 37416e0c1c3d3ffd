// The named command line: every option lands in its job value, and every wrong value says what is allowed.
#include "job/named_command_line.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

NamedParse Convert(std::vector<std::string> args) { return ParseNamedCommandLine(NamedCommand::Convert, args); }

TEST(NamedCommandLine, EveryOptionLandsInItsJobValue) {
  const NamedParse parse = Convert({"--ifo",       "/dvd/VTS_01_0.IFO",
                                    "a.srt",       "--ntsc",
                                    "--colors",    "3,2,1,0",
                                    "--font",      "DejaVu Sans",
                                    "--size",      "32",
                                    "--style",     "Bold+It",
                                    "--charset",   "russian",
                                    "--align",     "right",
                                    "--offset",    "492",
                                    "--offset-or", "-14",
                                    "--outline",   "4",
                                    "--format",    "both",
                                    "--language",  "FR",
                                    "-o",          "/out",
                                    "-j",          "3",
                                    "--fps",       "23.976",
                                    "--wrap",      "--quiet",
                                    "--aspect",    "16:9",
                                    "--direction", "RTL",
                                    "b.sub"});
  ASSERT_EQ(parse.error, "");
  const NamedOptions& o = parse.options;
  EXPECT_FALSE(o.job.haveifo);
  EXPECT_EQ(o.job.filenameifo, "/dvd/VTS_01_0.IFO");
  EXPECT_FALSE(o.job.pal);
  EXPECT_TRUE(o.standardGiven);
  EXPECT_TRUE(o.coloursGiven);
  EXPECT_EQ(o.job.colorantialias, 3);
  EXPECT_EQ(o.job.coloroutline, 2);
  EXPECT_EQ(o.job.colortext, 1);
  EXPECT_EQ(o.job.colorbg, 0);
  EXPECT_EQ(o.fontName, "DejaVu Sans");
  EXPECT_EQ(kSizeList[o.job.fontsize], "32");
  EXPECT_EQ(kStyleList[o.job.fontstyle], "Bold+Italic");
  EXPECT_EQ(kCharsetList[o.job.fontcharset], "RUSSIAN");
  EXPECT_EQ(kAlignList[o.job.align], "right");
  EXPECT_EQ(o.job.offset, 492);
  EXPECT_EQ(o.job.offsetor, -14);
  EXPECT_EQ(kOutlineWidthList[o.job.outline], "4");
  EXPECT_EQ(o.format, OutputFormat::Both);
  EXPECT_EQ(o.language, "fr");
  EXPECT_EQ(o.outputDir, "/out");
  EXPECT_EQ(o.jobs, 3);
  EXPECT_TRUE(o.quiet);
  EXPECT_DOUBLE_EQ(o.fps, 23.976);
  EXPECT_TRUE(o.wrap);
  EXPECT_TRUE(o.wide);
  EXPECT_TRUE(o.aspectGiven);
  EXPECT_EQ(kDirectionList[static_cast<std::size_t>(o.direction)], "rtl");
  EXPECT_EQ(o.files, (std::vector<std::string>{"a.srt", "b.sub"}));
}

TEST(NamedCommandLine, DefaultsAreTheWindowsWithTheGenericPalette) {
  const NamedParse parse = Convert({"movie.srt"});
  ASSERT_EQ(parse.error, "");
  JobSettings expected;
  expected.haveifo = true;  // no IFO was named: the generic palette
  EXPECT_EQ(parse.options.job, expected);
  EXPECT_FALSE(parse.options.coloursGiven);
  EXPECT_EQ(parse.options.fontName, "Arial");
  EXPECT_EQ(parse.options.format, OutputFormat::Sup);
  EXPECT_EQ(parse.options.jobs, 0);
  EXPECT_EQ(parse.options.outputDir, "");
}

TEST(NamedCommandLine, GluedAndLongSpellingsMeanTheSame) {
  const NamedParse glued = Convert({"--align=left", "-j2", "-o/tmp/x", "--colours=1,2,3,4", "f.srt"});
  const NamedParse spaced =
      Convert({"--align", "left", "--jobs", "2", "--output", "/tmp/x", "--colors", "1,2,3,4", "f.srt"});
  ASSERT_EQ(glued.error, "");
  EXPECT_EQ(glued.options, spaced.options);
  EXPECT_EQ(glued.options.jobs, 2);
}

TEST(NamedCommandLine, BundledShortOptionsMeanTheSameAsSeparateOnes) {
  // The value of the bundle's last letter glued or next; a negative number is a value, never a bundle.
  const NamedParse bundled = Convert({"-qq", "-qj", "2", "-qo/tmp/x", "--offset-or", "-14", "f.srt"});
  ASSERT_EQ(bundled.error, "");
  EXPECT_EQ(bundled.options, Convert({"-q", "-j", "2", "-o", "/tmp/x", "--offset-or=-14", "f.srt"}).options);
  EXPECT_EQ(Convert({"-qj2", "f.srt"}).options, Convert({"-q", "-j", "2", "f.srt"}).options);
  EXPECT_EQ(Convert({"-qx", "f.srt"}).error, "unknown option '-x'");
  EXPECT_EQ(Convert({"-verbose", "f.srt"}).error, "unknown option '-verbose'");
}

TEST(NamedCommandLine, CheckTakesTheOutputOptionsAndLeavesThemUnused) {
  const NamedParse check =
      ParseNamedCommandLine(NamedCommand::Check, {"-o", "/no/such/folder", "--language", "klingon", "f.srt"});
  ASSERT_EQ(check.error, "");
  EXPECT_EQ(check.options, ParseNamedCommandLine(NamedCommand::Check, {"f.srt"}).options);
  // The format says which limits a check holds the file to.
  EXPECT_EQ(ParseNamedCommandLine(NamedCommand::Check, {"--format", "pgs", "f.srt"}).options.format, OutputFormat::Pgs);
}

TEST(NamedCommandLine, BlurayOptionsTakeTheFrameAndColours) {
  const NamedParse parse =
      Convert({"--format", "PGS", "--frame", "576", "--text-colour", "#ffe080", "--outline-colour", "102030", "f.srt"});
  ASSERT_EQ(parse.error, "");
  EXPECT_EQ(parse.options.format, OutputFormat::Pgs);
  EXPECT_EQ(parse.options.frameRows, 576);
  EXPECT_EQ(parse.options.textColour, 0xFFE080u);
  EXPECT_EQ(parse.options.outlineColour, 0x102030u);
  const NamedParse defaults = Convert({"f.srt"});
  EXPECT_EQ(defaults.options.frameRows, 1080);
  EXPECT_EQ(defaults.options.textColour, 0xFFFFFFu);
  EXPECT_EQ(defaults.options.outlineColour, 0u);
}

TEST(NamedCommandLine, DoubleDashMakesTheRestFileNames) {
  const NamedParse parse = Convert({"--", "--quiet", "-j"});
  ASSERT_EQ(parse.error, "");
  EXPECT_FALSE(parse.options.quiet);
  EXPECT_EQ(parse.options.files, (std::vector<std::string>{"--quiet", "-j"}));
}

TEST(NamedCommandLine, HelpWinsOverEverythingElse) {
  EXPECT_TRUE(Convert({"--align", "middle", "--help"}).help);
  EXPECT_TRUE(Convert({"--help", "--align", "middle"}).help);
  EXPECT_TRUE(ParseNamedCommandLine(NamedCommand::Check, {"-h"}).help);
  EXPECT_FALSE(Convert({"--", "--help"}).help);
  EXPECT_TRUE(Convert({"--align", "middle", "--version"}).version);
  EXPECT_TRUE(ParseNamedCommandLine(NamedCommand::Check, {"--version"}).version);
}

TEST(NamedCommandLine, WrongValuesSayWhatIsAllowed) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--align", "middle", "f.srt"}, "--align: 'middle' is not one of left, center, right"},
      {{"--frame", "1088", "f.srt"}, "--frame: '1088' is not one of 1080, 720, 576, 480 (lines of the Blu-ray frame)"},
      {{"--text-colour", "FFF", "f.srt"}, "--text-colour: 'FFF' is not a colour of six hexadecimal digits RRGGBB"},
      {{"--outline-colour", "GG0000", "f.srt"},
       "--outline-colour: 'GG0000' is not a colour of six hexadecimal digits RRGGBB"},
      {{"--format", "mkv", "f.srt"}, "--format: 'mkv' is not one of sup, vobsub, both, pgs"},
      {{"--size", "31", "f.srt"}, "--size: '31' is not one of 6 to 30, or an even size from 32 to 50"},
      {{"--size", "5", "f.srt"}, "--size: '5' is not one of 6 to 30, or an even size from 32 to 50"},
      {{"--style", "Bold+Strike", "f.srt"},
       "--style: 'Bold+Strike' is not one of Normal, Bold, Italic, Underline, Bold+Italic, Bold+Under, Bold+It+Und, "
       "Italic+Under, StrikeOut"},
      {{"--charset", "UTF8", "f.srt"},
       "--charset: 'UTF8' is not one of ANSI, ARABIC, BALTIC, CHINESEBIG5, DEFAULT, EASTEUROPE, GB2312, GREEK, "
       "HANGEUL, HEBREW, JOHAB, MAC, OEM, RUSSIAN, SHIFTJIS, SYMBOL, THAI, TURKISH, VIETNAMESE"},
      {{"--offset", "7", "f.srt"}, "--offset: '7' is not a whole number from 8 to 492"},
      {{"--offset", "30px", "f.srt"}, "--offset: '30px' is not a whole number from 8 to 492"},
      {{"--offset-or", "-3", "f.srt"}, "--offset-or: '-3' is not an even number from -14 to 10"},
      {{"--offset-or", "12", "f.srt"}, "--offset-or: '12' is not an even number from -14 to 10"},
      {{"--outline", "3px", "f.srt"}, "--outline: '3px' is not one of 2, 3, 4 (pixels)"},
      {{"--aspect", "16/9", "f.srt"}, "--aspect: '16/9' is not 4:3 or 16:9"},
      {{"--language", "eng", "f.srt"}, "--language: 'eng' is not a two-letter language code such as en, fr or de"},
      {{"-j", "0", "f.srt"}, "-j: '0' is not a number of jobs from 1 to 1024"},
      {{"--jobs=0", "f.srt"}, "--jobs: '0' is not a number of jobs from 1 to 1024"},
      {{"--output=", "f.srt"}, "--output: needs a folder"},
      {{"f.srt", "--colours"}, "--colours: needs a value"},
      {{"--colors", "1,2,3", "f.srt"},
       "--colors: '1,2,3' is not four palette entries A,O,T,B (antialias, outline, text, background), each 0 to 15, "
       "such as 1,0,3,0"},
      {{"--colors", "1,2,3,16", "f.srt"},
       "--colors: '1,2,3,16' is not four palette entries A,O,T,B (antialias, outline, text, background), each 0 to "
       "15, such as 1,0,3,0"},
      {{"--colors", "1,2,3,4,5", "f.srt"},
       "--colors: '1,2,3,4,5' is not four palette entries A,O,T,B (antialias, outline, text, background), each 0 to "
       "15, such as 1,0,3,0"},
      {{"--frobnicate", "f.srt"}, "unknown option '--frobnicate'"},
      {{"f.srt", "--size"}, "--size: needs a value"},
      {{"--quiet=yes", "f.srt"}, "--quiet: takes no value"},
      {{"--fps", "23,976", "f.sub"}, "--fps: '23,976' is not a frame rate from 1 to 1000, such as 23.976 or 25"},
      {{"--fps=0", "f.sub"}, "--fps: '0' is not a frame rate from 1 to 1000, such as 23.976 or 25"},
      {{"--direction", "up", "f.srt"}, "--direction: 'up' is not one of auto, ltr, rtl"},
      {{"--ifo", "", "f.srt"}, "--ifo: needs the path of an IFO file"},
      {{"--ifo", "x.ifo", "--generic", "f.srt"},
       "--ifo and --generic cannot be used together: an IFO gives the palette, --generic replaces it"},
      {{"--pal", "--ntsc", "f.srt"}, "--pal and --ntsc cannot be used together"},
      {{"--quiet"}, "no subtitle file given: quillet convert [options] FILE..."},
  };
  for (const auto& [args, message] : cases) {
    const NamedParse parse = Convert(args);
    EXPECT_EQ(parse.error, message) << args[0];
    EXPECT_FALSE(parse.help);
  }
}

TEST(NamedCommandLine, StyleWordsNameListEntriesInAnyOrderAndCase) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"normal", "Normal"},       {"B", "Bold"},
      {"it+bold", "Bold+Italic"}, {"Bold+Under", "Bold+Under"},
      {"u+i+b", "Bold+It+Und"},   {"Italic+U", "Italic+Under"},
      {"strikeout", "StrikeOut"}, {"Bold+It+Und", "Bold+It+Und"}};
  for (const auto& [words, entry] : cases) {
    const auto index = StyleIndexFromWords(words);
    ASSERT_TRUE(index.has_value()) << words;
    EXPECT_EQ(kStyleList[*index], entry) << words;
  }
  // No list entry has these sets, or a word names nothing.
  for (const char* words : {"Bold+StrikeOut", "", "Bold+", "Heavy", "Normal+Bold"}) {
    EXPECT_FALSE(StyleIndexFromWords(words).has_value()) << words;
  }
}

TEST(NamedCommandLine, MuxTakesAnOutputFileTheVideoAndOneLanguagePerSubtitleAndSaysWhatItsLineLacks) {
  auto mux = [](std::vector<std::string> args) { return ParseNamedCommandLine(NamedCommand::Mux, args); };
  const NamedParse parse =
      mux({"--language", "fr", "-o", "out.mpg", "film.mpg", "a.srt", "--language", "DE", "b.srt", "--language", "it",
           "c.srt"});
  ASSERT_EQ(parse.error, "");
  EXPECT_EQ(parse.options.muxOutput, "out.mpg");
  EXPECT_EQ(parse.options.outputDir, "");  // not a folder to check
  EXPECT_EQ(parse.options.files, (std::vector<std::string>{"film.mpg", "a.srt", "b.srt", "c.srt"}));
  EXPECT_EQ(parse.options.languages, (std::vector<std::string>{"fr", "de", "it"}));
  EXPECT_EQ(mux({"-o", "out.mpg", "film.mpg", "a.srt", "b.srt"}).error, "");  // none given: en for each

  const std::string usage = ": quillet mux [options] -o OUT.mpg VIDEO.mpg SUBTITLE...";
  EXPECT_EQ(mux({"film.mpg", "a.srt"}).error, "-o OUT.mpg is needed" + usage);
  EXPECT_EQ(mux({"-o", "out.mpg", "film.mpg"}).error, "no subtitle file given after the video" + usage);
  EXPECT_EQ(mux({"-o", "out.mpg"}).error, "no video and no subtitle file given" + usage);
  EXPECT_EQ(mux({"--language", "en", "--language", "fr", "-o", "o.mpg", "film.mpg", "a.srt"}).error,
            "--language: given 2 times for 1 subtitle file; give it once per subtitle, in the same order");
  EXPECT_EQ(mux({"--language", "fr", "-o", "o.mpg", "film.mpg", "a.srt", "b.srt"}).error,
            "--language: given 1 time for 2 subtitle files; give it once per subtitle, in the same order");
}

}  // namespace
}  // namespace quillet
