#include "job/job_line.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/errors.h"
#include "test_support.h"

namespace quillet {

JobSettings DefaultJob() {
  JobSettings job;
  job.filenameifo = "/dvd/VTS_01_0.IFO";
  job.filenamesub = "/subs/film.srt";
  job.pal = true;
  job.fontcharset = 4;
  job.fontsize = 14;
  job.offset = 30;
  job.offsetor = -4;
  job.outline = 1;
  return job;
}

TEST(JobLine, DefaultSettingsWithIfoAndPal) {
  EXPECT_EQ(BuildJobLine("/opt/tools/", DefaultJob()),
            "\"/opt/tools/quillet.exe\" 0 \"/dvd/VTS_01_0.IFO\" \"/subs/film.srt\" -1 0 0 0 0 0 4 0 14 0 30 -4 1\r\n");
}

TEST(JobLine, NoIfoNeverChosenIsWrittenAsNoneAndNtscAsZero) {
  JobSettings job = DefaultJob();
  job.haveifo = true;
  job.filenameifo.clear();
  job.pal = false;
  job.offsetor = 10;
  job.colorantialias = 1;
  job.colortext = 3;
  EXPECT_EQ(BuildJobLine("/p/", job),
            "\"/p/quillet.exe\" -1 \"none\" \"/subs/film.srt\" 0 1 0 3 0 0 4 0 14 0 30 10 1\r\n");
}

TEST(JobLine, BatAppendedOnlyWhenMissing) {
  EXPECT_EQ(BatchPathFor("/jobs/MyBatch"), "/jobs/MyBatch.bat");
  EXPECT_EQ(BatchPathFor("/jobs/jobs.bat"), "/jobs/jobs.bat");
  EXPECT_EQ(BatchPathFor("/jobs/JOBS.BaT"), "/jobs/JOBS.BaT");
  EXPECT_EQ(BatchPathFor("/jobs/bat"), "/jobs/bat.bat");
}

TEST(JobLine, RefusesNamesTheShellWouldExpandInsideQuotes) {
  for (std::string bad : {"/a/$HOME.srt", "/a/`rm -rf x`.srt", "/a/x\".srt", "/a/back\\slash.srt"}) {
    auto refusal = UnsafeForBatch("subtitle file", bad);
    ASSERT_TRUE(refusal.has_value()) << bad;
    EXPECT_NE(refusal->find(bad), std::string::npos);
  }
  EXPECT_FALSE(UnsafeForBatch("subtitle file", "/a/My Film (2001) [x] & 'y'.srt").has_value());
}

TEST(JobLine, AppendsToExistingFileAndCreatesMissingOne) {
  test::TempDir dir;
  const std::string path = dir.File("jobs.bat");
  AppendToBatchFile(path, "one\r\n");
  AppendToBatchFile(path, "one\r\n");
  EXPECT_EQ(test::ReadFile(path), "one\r\none\r\n");
  EXPECT_THROW(AppendToBatchFile(dir.File("missing/jobs.bat"), "x\r\n"), FileError);
}

TEST(JobLine, AppendingEndsALastLineThatHasNoLineEnd) {
  test::TempDir dir;
  const std::string path = dir.Write("jobs.bat", "\"/q/quillet.exe\" last");  // edited by hand, no line end
  AppendToBatchFile(path, "new\r\n");
  EXPECT_EQ(test::ReadFile(path), "\"/q/quillet.exe\" last\r\nnew\r\n");
  const std::string half = dir.Write("half.bat", "last\r");  // a carriage return alone
  AppendToBatchFile(half, "new\r\n");
  EXPECT_EQ(test::ReadFile(half), "last\r\nnew\r\n");

  const std::string pipe = dir.File("pipe.bat");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_THROW(AppendToBatchFile(pipe, "new\r\n"), FileError);
  EXPECT_THROW(AppendToBatchFile(dir.Path().string(), "new\r\n"), FileError);
}

TEST(JobLine, ShellRunsTheLineWithQuotedBlanks) {
  // The line must survive a POSIX shell: quoted names with blanks stay one argument each, and the
  // trailing carriage return sticks to the last value (the program tolerates it).
  test::TempDir dir;
  const std::string script = dir.File("args.sh");
  test::WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done\n");
  JobSettings job = DefaultJob();
  job.filenamesub = dir.File("my film.srt");
  std::string line = BuildJobLine(dir.Path().string() + "/", job);
  line.replace(line.find("quillet.exe"), 11, "args.sh");
  test::WriteFile(dir.File("run.bat"), line);
  std::string command = "chmod +x " + script + " && sh " + dir.File("run.bat") + " > " + dir.File("out.txt");
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(test::ReadFile(dir.File("out.txt")),
            "[0][/dvd/VTS_01_0.IFO][" + dir.File("my film.srt") + "][-1][0][0][0][0][0][4][0][14][0][30][-4][1\r]");
}

}  // namespace quillet
