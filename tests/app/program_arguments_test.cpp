// What the program's arguments ask for: a command, help, a job, a file to open, or a usage error naming the word.
#include "app/program_arguments.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(ProgramArguments, EachStartIsRecognisedAndAWrongWordIsNamed) {
  auto exists = [](const std::string& path) { return path == "film.srt" || path == "notes" || path.ends_with(".IFO"); };
  const std::vector<std::string> job = {"-1", "none", "film.srt", "-1", "1", "0",  "3",  "0",
                                        "0",  "4",    "0",        "14", "0", "30", "-4", "1"};
  const struct {
    std::vector<std::string> args;
    ProgramStart start;
    std::string message;
  } cases[] = {
      {{}, ProgramStart::Window, ""},
      {{"convert", "--bogus"}, ProgramStart::Named, ""},
      {{"--help"}, ProgramStart::Help, ""},
      {{"--version"}, ProgramStart::Version, ""},
      {job, ProgramStart::Unattended, ""},
      {{"film.srt"}, ProgramStart::OpenFile, ""},
      {{"/subs/VTS_01_0.IFO"}, ProgramStart::OpenFile, ""},
      {{"notes"}, ProgramStart::OpenFile, ""},  // a bare word that names a file
      {{"frobnicate", "x.srt"},
       ProgramStart::UsageError,
       "unknown command 'frobnicate': the commands are convert, check, mux and spumux (or a subtitle file to open, or the 16 "
       "values)\nTry 'quillet --help'."},
      {{"missing.srt"}, ProgramStart::UsageError, "cannot open 'missing.srt': there is no such file"},
  };
  for (const auto& c : cases) {
    const ProgramArguments got = ClassifyProgramArguments(c.args, exists);
    const std::string shown = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(got.start, c.start) << shown;
    EXPECT_EQ(got.message, c.message) << shown;
    EXPECT_EQ(got.file, c.start == ProgramStart::OpenFile ? c.args[0] : "") << shown;
  }
}

}  // namespace
}  // namespace quillet
