// Output file names, the report case and the final report text.
#include "run/output_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(OutputPathsFor, PutsBothFilesBesideTheSubtitle) {
  struct Case {
    const char* subtitle;
    const char* sup;
    const char* instructions;
  };
  const Case cases[] = {
      {"C:\\subs\\movie.srt", "C:\\subs\\movie.sup", "C:\\subs\\movie.Quillet_Help.txt"},
      {"/home/me/subs/movie.sub", "/home/me/subs/movie.sup", "/home/me/subs/movie.Quillet_Help.txt"},
      {"D:movie.txt", "D:movie.sup", "D:movie.Quillet_Help.txt"},
      {"movie.srt", "movie.sup", "movie.Quillet_Help.txt"},
      {"/a.b/film.en.srt", "/a.b/film.en.sup", "/a.b/film.en.Quillet_Help.txt"},
      {"/subs/movie.srtx", "/subs/movie..sup", "/subs/movie..Quillet_Help.txt"},  // any name loses 4 characters
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OutputPathsFor(c.subtitle), (OutputPaths{c.sup, c.instructions, "", ""})) << c.subtitle;
  }
}

TEST(OutputPathsFor, NamesTheVobSubPairWithoutEverTakingTheSubtitleItself) {
  const OutputPaths both = OutputPathsFor("/subs/movie.srt", OutputFormat::Both);
  EXPECT_EQ(both,
            (OutputPaths{"/subs/movie.sup", "/subs/movie.Quillet_Help.txt", "/subs/movie.idx", "/subs/movie.sub"}));
  const OutputPaths vobSubOnly = OutputPathsFor("C:\\subs\\movie.txt", OutputFormat::VobSub);
  EXPECT_EQ(vobSubOnly,
            (OutputPaths{"", "C:\\subs\\movie.Quillet_Help.txt", "C:\\subs\\movie.idx", "C:\\subs\\movie.sub"}));
  // A MicroDVD file is a .sub: the pair gets a name of its own, whatever the letter case.
  for (const char* microDvd : {"/subs/movie.sub", "/subs/movie.SUB", "/subs/movie.Sub"}) {
    const OutputPaths paths = OutputPathsFor(microDvd, OutputFormat::Both);
    EXPECT_EQ(paths.idxPath, "/subs/movie.vobsub.idx") << microDvd;
    EXPECT_EQ(paths.vobSubPath, "/subs/movie.vobsub.sub") << microDvd;
    EXPECT_EQ(paths.supPath, "/subs/movie.sup") << microDvd;
  }
}

TEST(OutputPathsBesideExistingFiles, LeavesAForeignSubFileAloneAndReplacesAnEarlierPair) {
  test::TempDir dir;
  const std::string srt = dir.File("movie.srt");
  // Nothing there yet, or an earlier run's pair (a program stream starts with a pack header): the usual names.
  EXPECT_EQ(OutputPathsBesideExistingFiles(srt, OutputFormat::Both), OutputPathsFor(srt, OutputFormat::Both));
  test::WriteFile(dir.File("movie.sub"), std::string("\0\0\1\xBA", 4) + "rest of the stream");
  EXPECT_FALSE(HoldsSomethingElseThanVobSub(dir.File("movie.sub")));
  EXPECT_EQ(OutputPathsBesideExistingFiles(srt, OutputFormat::Both).vobSubPath, dir.File("movie.sub"));
  test::WriteFile(dir.File("movie.sub"), "");
  EXPECT_EQ(OutputPathsBesideExistingFiles(srt, OutputFormat::Both).vobSubPath, dir.File("movie.sub"));

  // The film's MicroDVD subtitle beside its SubRip one: the pair takes names of its own.
  test::WriteFile(dir.File("movie.sub"), "{1}{25}Hello\n");
  EXPECT_TRUE(HoldsSomethingElseThanVobSub(dir.File("movie.sub")));
  const OutputPaths paths = OutputPathsBesideExistingFiles(srt, OutputFormat::Both);
  EXPECT_EQ(paths, (OutputPaths{dir.File("movie.sup"), dir.File("movie.Quillet_Help.txt"), dir.File("movie.vobsub.idx"),
                                dir.File("movie.vobsub.sub")}));
  // A named pipe where the index goes is no index of ours, refused without waiting for a writer.
  test::WriteFile(dir.File("movie.sub"), std::string("\0\0\1\xBA", 4));
  ASSERT_EQ(::mkfifo(dir.File("movie.idx").c_str(), 0600), 0);
  EXPECT_NE(ForeignOutputReason(dir.File("movie.sub"), OutputKind::VobSubStream, dir.File("movie.idx")), "");
  // Without a VobSub pair in the run the file is no concern.
  EXPECT_EQ(OutputPathsBesideExistingFiles(srt, OutputFormat::Sup), OutputPathsFor(srt, OutputFormat::Sup));
}

// A link at an output's name is judged by the file it names: one to somebody's file is refused like that file,
// one to an earlier output of this program is written through.
TEST(FirstForeignOutput, JudgesALinkByTheFileItNames) {
  TempDir dir;
  const std::string secret = dir.Write("secret.txt", "root:x:0:0");
  const std::string earlierSup = dir.Write("earlier.sup", "SP earlier");
  const std::string help = dir.Write("earlier.Quillet_Help.txt", CaseText(ReportCase::NoIfo) + "x.sup");
  const OutputPaths paths = OutputPathsFor(dir.File("movie.srt"), OutputFormat::Sup);
  // What the SUP name and the instruction name link to, and which of them is refused.
  const std::tuple<std::string, std::string, std::string> kCases[] = {
      {secret, help, paths.supPath},
      {earlierSup, secret, paths.instructionPath},
      {earlierSup, help, ""},
      {dir.File("none.sup"), dir.File("none.txt"), ""},  // the writer refuses links to nothing, in its own words
  };
  for (const auto& [supTarget, helpTarget, refused] : kCases) {
    fs::remove(paths.supPath);
    fs::remove(paths.instructionPath);
    fs::create_symlink(supTarget, paths.supPath);
    fs::create_symlink(helpTarget, paths.instructionPath);
    EXPECT_EQ(FirstForeignOutput(paths).path, refused) << supTarget << " " << helpTarget;
  }
  // A plain file at the instruction's name is this program's, whatever it holds.
  fs::remove(paths.instructionPath);
  fs::remove(paths.supPath);
  dir.Write("movie.Quillet_Help.txt", "notes");
  EXPECT_EQ(FirstForeignOutput(paths).path, "");
}

TEST(ForeignOutputReason, ADvdAndABlurayFileAreEachOthersForeignFiles) {
  TempDir dir;
  const std::string dvd = dir.Write("dvd.sup", std::string("SP\0\0\0\0\0\0\0\0\0\x10", 12));
  const std::string bluray = dir.Write("bd.sup", std::string("PG\0\0\0\0\0\0\0\0\x16\0\x13", 13));
  const std::string other = dir.Write("other.sup", std::string("PG\0\0\0\0\0\0\0\0\x14\0\x13", 13));
  const std::tuple<std::string, OutputKind, bool> kCases[] = {{dvd, OutputKind::Sup, true},
                                                              {dvd, OutputKind::PgsSup, false},
                                                              {bluray, OutputKind::PgsSup, true},
                                                              {bluray, OutputKind::Sup, false},
                                                              {other, OutputKind::PgsSup, false}};
  for (const auto& [path, kind, ours] : kCases) EXPECT_EQ(ForeignOutputReason(path, kind).empty(), ours) << path;
  const OutputPaths paths = OutputPathsFor(dir.File("dvd.srt"), OutputFormat::Pgs);
  EXPECT_NE(FirstForeignOutput(paths).reason.find("DVD subtitle"), std::string::npos);
}

TEST(ReplaceExtension, DropsTheLastFourCharacters) {
  EXPECT_EQ(ReplaceExtension("movie.srt", ".sup"), "movie.sup");
  EXPECT_EQ(ReplaceExtension("abc", ".sup"), ".sup");
  EXPECT_EQ(ReplaceExtension("", ".sup"), ".sup");
}

TEST(SplitFolder, CutsAfterTheLastSeparator) {
  EXPECT_EQ(SplitFolder("C:\\a/b\\c.srt").folder, "C:\\a/b\\");
  EXPECT_EQ(SplitFolder("C:\\a/b\\c.srt").name, "c.srt");
  EXPECT_EQ(SplitFolder("c.srt").folder, "");
}

TEST(SelectReportCase, TheSwitchDecidesFirst) {
  struct Case {
    bool noIfo, monochromatic, switchOn;
    ReportCase expected;
  };
  const Case cases[] = {
      {false, false, false, ReportCase::WithIfo},       {true, true, false, ReportCase::WithIfo},
      {true, false, true, ReportCase::NoIfo},           {false, true, true, ReportCase::MonochromaticIfo},
      {true, true, true, ReportCase::MonochromaticIfo}, {false, false, true, ReportCase::NoIfo},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SelectReportCase(c.noIfo, c.monochromatic, c.switchOn), c.expected)
        << c.noIfo << c.monochromatic << c.switchOn;
  }
}

TEST(ComposeFinalReport, EndsWithTheTwoPaths) {
  const OutputPaths paths{"C:\\subs\\movie.sup", "C:\\subs\\movie.Quillet_Help.txt", "", ""};
  const std::string report = ComposeFinalReport(ReportCase::NoIfo, paths);
  EXPECT_TRUE(report.starts_with("All Done !!! (Case : No Ifo)\r\nSince you didnt had any ifo, author"));
  EXPECT_TRUE(
      report.ends_with("Then press save. Thats all.\r\n\r\n\r\nGenerated Files:\r\nC:\\subs\\movie.sup\r\n"
                       "C:\\subs\\movie.Quillet_Help.txt"));
}

TEST(ComposeFinalReport, ListsTheVobSubPairAmongTheGeneratedFiles) {
  const std::string both = ComposeFinalReport(ReportCase::WithIfo, OutputPathsFor("/s/m.srt", OutputFormat::Both));
  EXPECT_TRUE(both.ends_with("Generated Files:\r\n/s/m.sup\r\n/s/m.idx\r\n/s/m.sub\r\n/s/m.Quillet_Help.txt")) << both;
  const std::string vobSub = ComposeFinalReport(ReportCase::NoIfo, OutputPathsFor("/s/m.srt", OutputFormat::VobSub));
  EXPECT_TRUE(vobSub.ends_with("Generated Files:\r\n/s/m.idx\r\n/s/m.sub\r\n/s/m.Quillet_Help.txt")) << vobSub;
}

TEST(CaseText, HasEveryLineFollowedByCrLf) {
  struct Case {
    ReportCase reportCase;
    int lines;
    const char* first;
  };
  const Case cases[] = {{ReportCase::NoIfo, 11, "All Done !!! (Case : No Ifo)\r\n"},
                        {ReportCase::MonochromaticIfo, 12, "All Done !!! (Case : Monocromatic Ifo)\r\n"},
                        {ReportCase::WithIfo, 11, "All Done !!! (Case : With Ifo)\r\n"}};
  for (const Case& c : cases) {
    const std::string text = CaseText(c.reportCase);
    EXPECT_TRUE(text.starts_with(c.first));
    EXPECT_TRUE(text.ends_with("Then press save. Thats all.\r\n\r\n\r\nGenerated Files:\r\n"));
    int crlf = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++crlf;
    EXPECT_EQ(crlf, c.lines);
    EXPECT_EQ(text.find('\r', 0), text.find("\r\n"));
  }
  EXPECT_NE(CaseText(ReportCase::WithIfo).find("\r\nThen press Subtitle Color, Paste Colors into this PGC\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace quillet
