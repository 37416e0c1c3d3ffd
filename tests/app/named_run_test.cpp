// The named run in process: the progress line appears only on a terminal, and never with --quiet.
#include "app/named_run.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <sstream>

#include "test_support.h"

namespace quillet {
namespace {

struct Captured {
  int status;
  std::string out, err;
};

Captured RunConvert(const std::vector<std::string>& args, bool errIsTerminal) {
  std::ostringstream out, err;
  const int status = RunNamedCommand(NamedCommand::Convert, args, out, err, errIsTerminal);
  return {status, out.str(), err.str()};
}

// A MicroDVD film of `entries` one-line entries, a second apart.
std::string FilmOf(int entries) {
  std::string text = "{1}{1}25\n";
  for (int frame = 25; frame <= 25 * entries; frame += 25) {
    text += '{';
    text += std::to_string(frame) + "}{" + std::to_string(frame + 20) + "}Line\n";
  }
  return text;
}

// Lines come in the order of the arguments, whatever finishes first.
TEST(NamedRun, ProgressIsDrawnOnATerminalAndWipedBeforeEachLineInTheArgumentsOrderButNotWithQuiet) {
  test::TempDir dir;
  const std::string longFirst = dir.Write("long.sub", FilmOf(400));
  const std::string srt = dir.Write("film.srt", test::ReadFile(test::DataFile("e2e_three_entries.srt")));
  const Captured run = RunConvert({"-j", "2", longFirst, srt}, true);
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.err.rfind("\r\033[Kquillet: 0/2 files, 0 entries, 0:00 elapsed", 0), 0u) << run.err;
  EXPECT_TRUE(run.err.ends_with("\r\033[K")) << run.err;  // nothing of it stays on the terminal
  EXPECT_EQ(run.out.rfind(longFirst + ": wrote", 0), 0u) << run.out;
  EXPECT_TRUE(run.out.ends_with("\n" + srt + ": wrote " + dir.File("film.sup") + ", " +
                                dir.File("film.Quillet_Help.txt") + " (3 entries)\n"))
      << run.out;
  EXPECT_EQ(RunConvert({"--quiet", srt}, true).err, "");
}

TEST(NamedRun, AnInterruptWipesTheProgressLineBeforeTheProcessEnds) {
  test::TempDir dir;
  const std::string film = dir.Write("long.sub", FilmOf(3000));
  int errPipe[2];
  ASSERT_EQ(::pipe(errPipe), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {  // standard error, a pipe, stands for the terminal
    ::dup2(errPipe[1], STDERR_FILENO);
    std::ostringstream out;
    ::_exit(RunNamedCommand(NamedCommand::Convert, {"-j", "1", film}, out, std::cerr, true));
  }
  ::close(errPipe[1]);
  std::string err;
  char buffer[4096];
  bool interrupted = false;
  for (ssize_t got; (got = ::read(errPipe[0], buffer, sizeof buffer)) > 0;) {
    err.append(buffer, static_cast<std::size_t>(got));
    if (!interrupted && err.find("files,") != std::string::npos) interrupted = ::kill(child, SIGINT) == 0;
  }
  ::close(errPipe[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(interrupted) << err;
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;  // ended as the signal ends it
  EXPECT_TRUE(err.ends_with("\r\033[K")) << err;
}

}  // namespace
}  // namespace quillet
