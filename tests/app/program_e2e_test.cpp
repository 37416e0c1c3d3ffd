// The built program, run without a display as a batch file or a script would run it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "dvdsub_decoder.h"
#include "run_program.h"
#include "scripted_view.h"
#include "sup/subpicture_unit.h"

extern char** environ;

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::ControllerHarness;
using test::CopyData;
using test::TempDir;

using Outcome = test::ProgramRun;

// Runs `program` with `args`; with a time limit, a process still running after it is killed (status -2).
Outcome RunProcess(const std::string& program, const std::vector<std::string>& args, int limitSeconds = 0,
                   const std::vector<std::string>& extraEnv = {}) {
  return test::RunProgram(program, args, {extraEnv, limitSeconds});
}

Outcome RunQuillet(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv = {}) {
  return RunProcess(test::ProgramCopy(), args, 0, extraEnv);
}

// Starts the program without a display, its output thrown away; returns its process id.
pid_t StartQuillet(const std::vector<std::string>& args) {
  const std::string& program = test::ProgramCopy();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    const int null = ::open("/dev/null", O_WRONLY);
    if (null < 0 || ::dup2(null, 1) < 0 || ::dup2(null, 2) < 0) ::_exit(126);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  return pid;
}

// Bytes written so far to a file in `folder` that the process `pid` holds open (0 when none).
uintmax_t BytesBeingWrittenIn(pid_t pid, const fs::path& folder) {
  std::error_code ec;
  for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
    const fs::path target = fs::read_symlink(fd.path(), ec);
    if (ec || target.string().rfind(folder.string(), 0) != 0) continue;
    struct stat info {};
    if (::stat(fd.path().c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
      return static_cast<uintmax_t>(info.st_size);
    }
  }
  return 0;
}

using test::Contains;
bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// e2e_three_entries.srt: start and end of each entry in milliseconds.
struct EntryTimes {
  uint32_t startMs, endMs;
};
constexpr EntryTimes kEntries[] = {{500, 2250}, {61000, 63500}, {3723456, 3725000}};

// Every packet decodes, in entry order, to a picture inside the frame drawn in the text and outline roles.
void ExpectDecodesEntryForEntry(const std::string& supPath, int frameHeight) {
  const std::vector<test::SupPacket> packets = test::SplitSupFile(test::ReadFile(supPath));
  ASSERT_EQ(packets.size(), std::size(kEntries));
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  for (std::size_t i = 0; i < packets.size(); ++i) {
    EXPECT_EQ(packets[i].pts90k, kEntries[i].startMs * 90) << "entry " << i + 1;
    const test::DecodedSubpicture picture = test::DecodeDvdSubpicture(packets[i].unit, packets[i].pts90k);
    ASSERT_TRUE(picture.hasPicture) << "entry " << i + 1;
    EXPECT_GE(picture.y, 0);
    EXPECT_LE(picture.y + picture.height, frameHeight) << "entry " << i + 1;
    EXPECT_LE(picture.x + picture.width, 720) << "entry " << i + 1;
    // A player takes the subtitle down within one of its delay ticks of the file's end time.
    EXPECT_EQ(picture.startDisplayMs, 0u) << "entry " << i + 1;
    EXPECT_NEAR(packets[i].pts90k / 90.0 + picture.endDisplayMs, kEntries[i].endMs, kDelayTickMs) << "entry " << i + 1;
    int text = 0, outline = 0;
    for (uint8_t p : picture.pixels) {
      text += p == 1;
      outline += p == 2;
    }
    EXPECT_GT(text, 0) << "entry " << i + 1;
    EXPECT_GT(outline, 0) << "entry " << i + 1;
  }
}

class Program : public ::testing::Test {
 protected:
  Program() : subtitle(CopyData(dir, "e2e_three_entries.srt", "film.srt")) {}

  std::vector<std::string> Job(const std::string& haveIfo, const std::string& ifo) const {
    return {haveIfo, ifo, subtitle, "-1", "1", "0", "2", "0", "0", "4", "0", "14", "0", "30", "-4", "1"};
  }
  std::string Sup() const { return dir.File("film.sup"); }
  std::string Help() const { return dir.File("film.Quillet_Help.txt"); }

  TempDir dir;
  std::string subtitle;
};

TEST_F(Program, ConvertsWithAnIfoAndTellsTheWithIfoCase) {
  const Outcome run = RunQuillet(Job("0", CopyData(dir, "ifo_greys_pal.ifo", "VTS_01_0.IFO")));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ExpectDecodesEntryForEntry(Sup(), 576);
  const std::string help = test::ReadFile(Help());
  EXPECT_TRUE(StartsWith(help, "All Done !!! (Case : With Ifo)\r\n"));
  EXPECT_TRUE(help.ends_with("Generated Files:\r\n" + Sup() + "\r\n" + Help()));
}

TEST_F(Program, ConvertsWithoutAnIfoAndTellsTheNoIfoCase) {
  auto job = Job("-1", "none");
  job[3] = "0";  // NTSC
  const Outcome run = RunQuillet(job);
  EXPECT_EQ(run.status, 0) << run.err;
  ExpectDecodesEntryForEntry(Sup(), 480);
  EXPECT_TRUE(StartsWith(test::ReadFile(Help()), "All Done !!! (Case : No Ifo)\r\n"));
}

TEST_F(Program, AnIfoWithoutUsablePaletteConvertsWithTheNoticeOnStandardError) {
  const Outcome run = RunQuillet(Job("0", CopyData(dir, "ifo_monochrome_ntsc.ifo")));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "ATTENTION :")) << run.err;
  ExpectDecodesEntryForEntry(Sup(), 480);
  EXPECT_TRUE(StartsWith(test::ReadFile(Help()), "All Done !!! (Case : Monocromatic Ifo)\r\n"));
}

TEST_F(Program, ABadValueGivesItsMessageAndStatusOne) {
  auto job = Job("yes", "none");
  const Outcome run = RunQuillet(job);
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, "'yes' is not a valid boolean value.")) << run.err;
  EXPECT_FALSE(fs::exists(Sup()));

  job = Job("-1", "none");
  job[2] = dir.File("missing.srt");
  const Outcome missing = RunQuillet(job);
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(Contains(missing.err, "Unsupported Subtitle Format !")) << missing.err;
}

TEST_F(Program, EntriesADvdCannotShowAreLeftOutAndTimesItCannotHoldAreNamedAfterTheRun) {
  test::WriteFile(subtitle,
                  "1\n00:00:01,000 --> 00:00:03,000\nFine\n\n"
                  "2\n00:00:09,000 --> 00:00:04,000\nEnds before it starts\n\n"
                  "3\n00:00:10,000 --> 00:15:10,000\nNine hundred seconds\n\n"
                  "4\n00:20:00,000 --> 00:20:00,000\nZero length\n");
  const Outcome run = RunQuillet(Job("-1", "none"));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "quillet: 2 entries are not written, since a DVD player could not show them: entry 2 ends before it "
            "starts; entry 4 lasts less than 6 ms.\n"
            "1 entry had times a DVD cannot hold: entry 3 lasts longer than 745.6 s (shown for 745.6 s).\n");
  const auto packets = test::SplitSupFile(test::ReadFile(Sup()));
  ASSERT_EQ(packets.size(), 2u);
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  const uint32_t shownMs[] = {2002, 745642};  // 176 ticks of 1024/90 ms; 65535 ticks
  for (std::size_t i = 0; i < packets.size(); ++i) {
    EXPECT_EQ(test::DecodeDvdSubpicture(packets[i].unit, packets[i].pts90k).endDisplayMs, shownMs[i]) << i + 1;
  }
}

TEST_F(Program, AStartADvdCannotHoldRefusesTheRunAndKeepsTheEarlierFiles) {
  test::WriteFile(Sup(), "earlier sup");
  test::WriteFile(Help(), "earlier help");
  test::WriteFile(subtitle,
                  "1\n00:00:01,000 --> 00:00:03,000\nFine\n\n"
                  "2\n14:00:00,000 --> 14:00:02,000\nToo late\n");
  const Outcome run = RunQuillet(Job("-1", "none"));
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err,
                       "Subtitle 2 (\"Too late\") starts at 14:00:00,000, but the last start a DVD can hold is "
                       "13:15:21,858. Nothing was written."))
      << run.err;
  EXPECT_EQ(test::ReadFile(Sup()), "earlier sup");
  EXPECT_EQ(test::ReadFile(Help()), "earlier help");
}

TEST_F(Program, AKilledRunLeavesTheEarlierFilesAndNothingThatLooksComplete) {
  std::string srt;
  for (int i = 0; i < 40000; ++i) {
    const int s = i + 1;  // one entry a second, on screen for 0.8 s
    char times[64];
    std::snprintf(times, sizeof times, "%02d:%02d:%02d,000 --> %02d:%02d:%02d,800", s / 3600, s / 60 % 60, s % 60,
                  s / 3600, s / 60 % 60, s % 60);
    srt += std::to_string(i + 1) + "\n" + times + "\nEntry number " + std::to_string(i + 1) + "\n\n";
  }
  test::WriteFile(subtitle, srt);
  test::WriteFile(Sup(), "earlier sup");
  test::WriteFile(Help(), "earlier help");

  const pid_t pid = StartQuillet(Job("-1", "none"));
  ASSERT_GT(pid, 0);
  // Part way: the run has written a good deal, and is still writing.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (BytesBeingWrittenIn(pid, dir.Path()) < 1000000 && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(::kill(pid, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before it was killed";

  EXPECT_EQ(test::ReadFile(Sup()), "earlier sup");
  EXPECT_EQ(test::ReadFile(Help()), "earlier help");
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.Path())) names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"film.srt", "film.sup", "film.Quillet_Help.txt"}));
}

TEST_F(Program, ANamedPipeAsIfoOrSettingsFileIsRefusedAtOnce) {
  // A copy of the program of its own, whose settings file is a named pipe nobody writes to.
  TempDir programDir;
  const std::string program = programDir.File("quillet");
  fs::copy_file(QUILLET_BINARY, program);
  const std::string settings = programDir.File("Quillet_Settings.ini");
  ASSERT_EQ(::mkfifo(settings.c_str(), 0600), 0);
  const Outcome run = RunProcess(program, Job("-1", "none"), 30);
  // Converted, but the settings could not be kept: status 1 (a run that waits on the pipe is killed: -2).
  EXPECT_EQ(run.status, 1) << run.status;
  EXPECT_TRUE(Contains(run.err, "Cannot open the file \"" + settings +
                                    "\": it is a named pipe (FIFO), not a regular file. It is left as it is; the "
                                    "settings of this run are not saved."))
      << run.err;
  EXPECT_TRUE(fs::is_fifo(settings));
  ExpectDecodesEntryForEntry(Sup(), 576);

  const std::string ifo = dir.File("VTS_01_0.IFO");
  ASSERT_EQ(::mkfifo(ifo.c_str(), 0600), 0);
  const Outcome ifoRun = RunProcess(test::ProgramCopy(), Job("0", ifo), 30);
  EXPECT_EQ(ifoRun.status, 1);
  EXPECT_TRUE(
      Contains(ifoRun.err, "Cannot open the file \"" + ifo + "\": it is a named pipe (FIFO), not a regular file."))
      << ifoRun.err;
}

TEST_F(Program, ABatchFileFromTheWindowConvertsEachJobWithSh) {
  const std::string programFolder = fs::path(test::ProgramCopy()).parent_path().string() + "/";
  ASSERT_TRUE(fs::exists(programFolder + "quillet.exe")) << "the build puts quillet.exe beside quillet";
  const std::string first = CopyData(dir, "e2e_three_entries.srt", "first.srt");
  const std::string second = CopyData(dir, "e2e_three_entries.srt", "second.srt");
  const std::string ifo = CopyData(dir, "ifo_greys_pal.ifo", "VTS_01_0.IFO");
  {
    ControllerOptions options = ControllerHarness::SequentialOptions();
    options.programFolder = programFolder;
    ControllerHarness h(options);
    h.controller.SetNoIfo(true);
    h.controller.SelectPal(false);
    h.LoadSubtitle(first);
    h.view.AnswerDialog(dir.File("MyBatch"));
    h.controller.ButtonBatchClick();
    h.controller.SetNoIfo(false);
    h.LoadIfo(ifo);
    h.LoadSubtitle(second);
    h.controller.ButtonBatchClick();
    ASSERT_TRUE(h.view.errors.empty());
  }
  const Outcome run = RunProcess("/bin/sh", {dir.File("MyBatch.bat")});
  EXPECT_EQ(run.status, 0) << run.err;
  ExpectDecodesEntryForEntry(dir.File("first.sup"), 480);
  ExpectDecodesEntryForEntry(dir.File("second.sup"), 576);
  EXPECT_TRUE(StartsWith(test::ReadFile(dir.File("first.Quillet_Help.txt")), "All Done !!! (Case : No Ifo)"));
  EXPECT_TRUE(StartsWith(test::ReadFile(dir.File("second.Quillet_Help.txt")), "All Done !!! (Case : With Ifo)"));
}

TEST(ProgramStart, WithoutADisplayOrACompleteCommandLineItExitsTwo) {
  const std::string srt = test::DataFile("e2e_three_entries.srt");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "no display"},
      {{"-1", "none", "/subs/film.srt"}, "no display"},
      {{srt}, "quillet: no display to open the window with '" + srt + "'."},
      {{"--bogus"}, "quillet: unknown option '--bogus'\nTry 'quillet --help'.\n"},
  };
  for (const auto& [args, message] : cases) {
    const Outcome run = RunQuillet(args);
    EXPECT_EQ(run.status, 2) << args.size();
    EXPECT_TRUE(Contains(run.err, message)) << run.err;
  }
}

// The hint is a command to paste: the file's name in it is quoted, so a name that is shell code runs nothing.
TEST(ProgramStart, TheHintToConvertWithoutTheWindowQuotesTheName) {
  test::TempDir dir;
  const std::string srt = dir.Write("$(touch ran).srt", test::ReadFile(test::DataFile("e2e_three_entries.srt")));
  const Outcome run = RunQuillet({srt});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(Contains(run.err, "Convert it without the window: quillet convert '" + srt + "'\n")) << run.err;
}

TEST_F(Program, ADisplayWithoutAServerCountsAsNoDisplay) {
  const std::string display = test::UnusedXDisplay();
  const Outcome run = RunQuillet(Job("-1", "none"), {"DISPLAY=" + display});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "\"" + display + "\" cannot be opened")) << run.err;
  ExpectDecodesEntryForEntry(Sup(), 576);

  const Outcome window = RunQuillet({}, {"DISPLAY=" + display});
  EXPECT_EQ(window.status, 2);
  EXPECT_TRUE(Contains(window.err, "no display")) << window.err;
}

TEST(ProgramStart, HelpPrintsTheUsage) {
  const Outcome run = RunQuillet({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(StartsWith(run.out, "Usage: quillet")) << run.out;
  EXPECT_TRUE(Contains(run.out, "filenamesub"));
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(StartsWith(RunQuillet({"convert", "--version"}).out, "quillet "));
}

}  // namespace
}  // namespace quillet
