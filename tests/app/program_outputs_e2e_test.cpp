// The built program against what other users, full disks, huge files and concurrent runs do to its outputs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <future>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "external_tools.h"
#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::Contains;
using test::ProgramRun;
using test::ReadFile;
using test::TempDir;

// The 16 values of a no-IFO PAL job on `subtitle`.
std::vector<std::string> Job(const std::string& subtitle) {
  return {"-1", "none", subtitle, "-1", "1", "0", "2", "0", "0", "4", "0", "14", "0", "30", "-4", "1"};
}

// The files in `folder`: a run that fails leaves no temporary file behind.
long FileCount(const std::string& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator{});
}

const std::string kThreeEntries =
    "1\n00:00:01,000 --> 00:00:02,000\nOne\n\n2\n00:00:03,000 --> 00:00:04,000\nTwo\n\n"
    "3\n00:00:05,000 --> 00:00:06,000\nThree\n";

// Each refused with status 1 and a short message instead of a crash, an echo of the whole line or a misleading text.
TEST(ProgramOutputs, HugeLinesAndFilesClashingOutputsAndTooLongNamesAreRefusedWithShortMessages) {
  TempDir dir, other;
  const std::string line = "1\n00:00:01,000 --> 00:00:02,000\n";
  const std::string huge = dir.Write("huge.srt", line + "Hi\n");
  fs::resize_file(huge, (uint64_t{256} << 20) + 1);  // sparse: costs no disk
  const std::string subtitle = other.Write("x.srt", kThreeEntries);
  other.Write("x.sub", "{1}{1}25.000\n{25}{50}Hi\n");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      // A line whose width overflowed an int; a 10 MB line in the window's message.
      {{"convert", "--size", "50", dir.Write("wide.srt", line + std::string(33'000'000, 'W') + "\n")},
       "pixels wide, the frame holds"},
      {Job(dir.Write("ten.srt", line + std::string(10'000'000, 'a') + "\n")), "is too long"},
      {{"convert", huge}, "it is larger than 256 MiB"},
      // x.srt and ./x.sub both write x.sup, however the second is spelt.
      {{"convert", subtitle, other.Path().string() + "/./x.sub"}, "is also the output of " + subtitle},
      // The input's name fits the file system; its instruction file's does not.
      {{"convert", other.Write(std::string(245, 'n') + ".srt", kThreeEntries)}, "File name too long"},
  };
  for (const auto& [args, message] : cases) {
    const ProgramRun run = test::RunQuilletProgram(args, {{}, 120});
    EXPECT_EQ(run.status, 1) << message;
    EXPECT_TRUE(Contains(run.err, message)) << run.err.substr(0, 300);
    EXPECT_LT(run.err.size(), 1000u) << message;
  }
  EXPECT_EQ(FileCount(dir.Path()), 3);
}

// As root, with a second user (nobody) who plants links in a sticky folder anyone may write to.
TEST(ProgramOutputs, ALinkAnotherUserPlantedIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a link to another user";
  TempDir dir;
  const std::string secret = dir.Write("secret", "root's secret");
  const std::string shared = dir.File("shared");
  fs::create_directory(shared);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  const std::string subtitle = shared + "/movie.srt";
  test::WriteFile(subtitle, kThreeEntries);
  fs::create_symlink(secret, shared + "/movie.sup");
  ASSERT_EQ(::lchown((shared + "/movie.sup").c_str(), 65534, 65534), 0);
  const ProgramRun run = test::RunQuilletProgram(Job(subtitle));
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "it is a link owned by another user in the shared folder")) << run.err;
  EXPECT_EQ(ReadFile(secret), "root's secret");
}

// A disk that fills while the new files are written (RLIMIT_FSIZE, SIGXFSZ ignored): the earlier pair stays whole.
TEST(ProgramOutputs, AFullDiskLeavesTheEarlierSupAndInstructionFileAsTheyWere) {
  if (!test::HaveTool("prlimit")) GTEST_SKIP() << "prlimit is not installed";
  TempDir dir;
  const std::string subtitle = dir.Write("movie.srt", kThreeEntries);
  const std::string sup = dir.Write("movie.sup", "earlier sup");
  const std::string help = dir.Write("movie.Quillet_Help.txt", "earlier help");
  // Every file of a run this small stays in the program's buffer until the end: the limit strikes the last write.
  std::vector<std::string> args = {"-c", "trap '' XFSZ; exec prlimit --fsize=1000 -- \"$0\" \"$@\"",
                                   test::ProgramCopy()};
  for (const std::string& value : Job(subtitle)) args.push_back(value);
  const ProgramRun run = test::RunProgram("/bin/sh", args);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(Contains(run.err, "File too large")) << run.err;
  EXPECT_EQ(ReadFile(sup), "earlier sup");
  EXPECT_EQ(ReadFile(help), "earlier help");
  EXPECT_EQ(FileCount(dir.Path()), 3);
}

// Three runs on one output at once, each with a palette case of its own: the SUP file and the instruction file in
// place afterwards always come from the same run.
TEST(ProgramOutputs, ConcurrentRunsOnOneOutputLeaveThePairOfOneRun) {
  TempDir dir;
  const std::string subtitle = dir.Write("movie.srt", kThreeEntries);
  std::vector<std::vector<std::string>> jobs(3, Job(subtitle));
  jobs[1][0] = jobs[2][0] = "0";  // with an IFO of each standard
  jobs[1][1] = dir.Write("VTS_01_0.IFO", ReadFile(test::DataFile("ifo_greys_pal.ifo")));
  jobs[2][1] = dir.Write("VTS_02_0.IFO", ReadFile(test::DataFile("ifo_monochrome_ntsc.ifo")));
  // What each run writes alone: its instruction file says which SUP file belongs to it.
  std::map<std::string, std::string> supOfHelp;
  for (const auto& job : jobs) {
    ASSERT_EQ(test::RunQuilletProgram(job).status, 0);
    supOfHelp[ReadFile(dir.File("movie.Quillet_Help.txt"))] = ReadFile(dir.File("movie.sup"));
  }
  ASSERT_EQ(supOfHelp.size(), 3u);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::future<ProgramRun>> runs;
    for (const auto& job : jobs) {
      runs.push_back(std::async(std::launch::async, [job] { return test::RunQuilletProgram(job); }));
    }
    for (auto& run : runs) ASSERT_EQ(run.get().status, 0);
    const auto pair = supOfHelp.find(ReadFile(dir.File("movie.Quillet_Help.txt")));
    ASSERT_NE(pair, supOfHelp.end()) << "round " << round;
    EXPECT_EQ(ReadFile(dir.File("movie.sup")), pair->second) << "round " << round;
  }
}

// One run on four subtitles, each beside an output of the same name: a Blu-ray SUP, a ripped VobSub pair's index
// and stream, and an earlier SUP of ours.
TEST(ProgramOutputs, ConvertWritesOverItsOwnEarlierOutputsButNoOneElsesFiles) {
  TempDir dir;
  const std::tuple<const char*, std::string, bool> cases[] = {
      {"bluray.sup", "PG\x01\x02 not a DVD packet", true},
      {"rip.idx", "# VobSub index file, v7 (do not modify this line!)\n", true},
      {"ripped.sub", std::string("\x00\x00\x01\xba", 4) + "pack", true},
      {"ours.sup", "SP earlier", false},
  };
  std::vector<std::string> args = {"convert", "--format", "both"};
  for (const auto& [name, bytes, refused] : cases) {
    dir.Write(name, bytes);
    args.push_back(dir.Write(fs::path(name).stem().string() + ".srt", kThreeEntries));
  }
  const ProgramRun run = test::RunQuilletProgram(args);
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "it is not written over (use -o DIR)")) << run.err;
  for (const auto& [name, bytes, refused] : cases) {
    EXPECT_EQ(ReadFile(dir.File(name)) == bytes, refused) << name;
    EXPECT_EQ(Contains(run.err, dir.File(name) + " exists and is not a"), refused) << name << ": " << run.err;
  }
}

// A MicroDVD file's frame-rate line is no subtitle: muxed into Matroska, the subtitles are the file's own two, each
// with a duration, and no "25.000" stays up until the first real line.
TEST(ProgramOutputs, AMicroDvdFileMuxedWithMkvmergeHasNoFrameRateEntryAndEveryPacketADuration) {
  for (const char* tool : {"mkvmerge", "ffprobe"}) {
    if (!test::HaveTool(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  TempDir dir;
  const std::string subtitle = dir.Write("film.sub", "{1}{1}25.000\n{650}{700}Twenty-six\n{750}{800}Thirty\n");
  const ProgramRun run = test::RunQuilletProgram({"convert", "--format", "vobsub", subtitle});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string mkv = dir.File("film.mkv");
  ASSERT_TRUE(
      test::RunTool("mkvmerge -q -o " + test::ShellQuote(mkv) + " " + test::ShellQuote(dir.File("film.vobsub.idx"))));
  std::string packets;
  ASSERT_TRUE(test::RunTool(
      "ffprobe -v error -show_entries packet=pts_time,duration_time -of csv=p=0 " + test::ShellQuote(mkv), &packets));
  EXPECT_EQ(packets, "26.000000,2.002000\n30.000000,2.002000\n");  // 176 ticks of 1024/90 ms
}

}  // namespace
}  // namespace quillet
