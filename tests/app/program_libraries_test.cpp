// The built program's shared libraries: a run without a display loads no Qt; the window module opens.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

extern char** environ;

namespace quillet {
namespace {

using test::TempDir;

// Runs the program with no display and the dynamic loader reporting every library it opens (on standard
// error); returns that report, or "" when the program did not exit with status 0.
std::string LibrariesOpened(const std::vector<std::string>& args) {
  TempDir io;
  const std::string errPath = io.File("err");
  std::vector<std::string> env{"LD_DEBUG=libs"};
  for (char** e = environ; *e; ++e) {
    if (std::strncmp(*e, "DISPLAY=", 8) != 0 && std::strncmp(*e, "WAYLAND_DISPLAY=", 16) != 0 &&
        std::strncmp(*e, "LD_DEBUG", 8) != 0) {
      env.push_back(*e);
    }
  }
  const std::string& program = test::ProgramCopy();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!std::freopen("/dev/null", "w", stdout) || !std::freopen(errPath.c_str(), "w", stderr)) ::_exit(126);
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  int status = 0;
  if (pid <= 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return "";
  return test::ReadFile(errPath);
}

TEST(ProgramLibraries, RunsWithoutADisplayLoadNoQt) {
  TempDir dir;
  const std::string subtitle = dir.Write("film.srt", test::ReadFile(test::DataFile("e2e_three_entries.srt")));
  const std::vector<std::vector<std::string>> runs = {
      {"--version"},
      {"--help"},
      {"-1", "none", subtitle, "-1", "1", "0", "2", "0", "0", "4", "0", "14", "0", "30", "-4", "1"},
  };
  for (const auto& args : runs) {
    const std::string report = LibrariesOpened(args);
    ASSERT_NE(report.find("libfreetype"), std::string::npos) << args[0] << ": no loader report\n" << report;
    EXPECT_EQ(report.find("libQt"), std::string::npos) << args[0] << " loaded Qt:\n" << report;
  }
}

#ifdef QUILLET_WINDOW_MODULE
TEST(ProgramLibraries, TheWindowModuleOpensWithItsEntry) {
  void* module = ::dlopen(QUILLET_WINDOW_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << ::dlerror();
  EXPECT_NE(::dlsym(module, "QuilletRunWindow"), nullptr);
  // Nothing of the window or the core leaks out of the module besides its entry.
  EXPECT_EQ(::dlsym(module, "_ZN7quillet2ui9RunWindowEiPPcRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE"),
            nullptr);
}
#endif

}  // namespace
}  // namespace quillet
