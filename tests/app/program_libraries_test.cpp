// The built program's shared libraries: a run without a display loads no Qt, and only "quillet mux" loads
// libavformat; the window module opens.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "run_program.h"
#include "test_support.h"


namespace quillet {
namespace {

using test::TempDir;

// Runs the program with no display and the dynamic loader reporting every library it opens (on standard
// error); returns that report, or "" when the program did not exit with status 0.
std::string LibrariesOpened(const std::vector<std::string>& args) {
  const test::ProgramRun run = test::RunQuilletProgram(args, {{"LD_DEBUG=libs"}});
  return run.status == 0 ? run.err : "";
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
    EXPECT_EQ(report.find("libavformat"), std::string::npos) << args[0] << " loaded libavformat:\n" << report;
  }
  const std::string mux = LibrariesOpened({"mux", "--help"});
  EXPECT_NE(mux.find("libavformat"), std::string::npos) << mux;
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
