// The named run in process: the progress line appears only on a terminal, and never with --quiet.
#include "app/named_run.h"

#include <gtest/gtest.h>

#include <sstream>

#include "test_support.h"

namespace quillet {
namespace {

struct Captured {
  int status = -1;
  std::string out, err;
};

Captured RunConvert(const std::vector<std::string>& args, bool errIsTerminal) {
  std::ostringstream out, err;
  Captured c;
  c.status = RunNamedCommand(NamedCommand::Convert, args, out, err, errIsTerminal);
  c.out = out.str();
  c.err = err.str();
  return c;
}

TEST(NamedRun, ProgressIsDrawnOnATerminalAndWipedBeforeEachLine) {
  test::TempDir dir;
  const std::string srt = dir.Write("film.srt", test::ReadFile(test::DataFile("e2e_three_entries.srt")));
  const Captured run = RunConvert({"-j", "1", srt}, true);
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.err.rfind("\r\033[Kquillet: 0/1 files, 0 entries, 0:00 elapsed", 0), 0u) << run.err;
  EXPECT_TRUE(run.err.ends_with("\r\033[K")) << run.err;  // nothing of it stays on the terminal
  EXPECT_EQ(run.out,
            srt + ": wrote " + dir.File("film.sup") + ", " + dir.File("film.Quillet_Help.txt") + " (3 entries)\n");
}

TEST(NamedRun, NoProgressIntoPipesOrWithQuiet) {
  test::TempDir dir;
  const std::string srt = dir.Write("film.srt", test::ReadFile(test::DataFile("e2e_three_entries.srt")));
  EXPECT_EQ(RunConvert({srt}, false).err, "");
  const Captured quiet = RunConvert({"--quiet", srt}, true);
  EXPECT_EQ(quiet.status, kExitOk);
  EXPECT_EQ(quiet.err, "");
  EXPECT_EQ(quiet.out, "");
}

}  // namespace
}  // namespace quillet
