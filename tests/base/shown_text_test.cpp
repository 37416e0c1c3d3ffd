// Names as a terminal shows them, as a shell reads them back, and which may name an output.
#include "base/shown_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "test_support.h"

namespace quillet {
namespace {

TEST(EscapeControls, WritesOutWhatWouldBreakTheLineOrSpeakToTheTerminal) {
  const std::pair<std::string, std::string> kCases[] = {
      {"film.srt", "film.srt"},         {"caf\xC3\xA9 \\ x.srt", "caf\xC3\xA9 \\ x.srt"},  // UTF-8 and a backslash stay
      {"a\nb\tc\rd", "a\\nb\\tc\\rd"},  {"\x1B[2Jx\x7F", "\\x1B[2Jx\\x7F"},
      {"\302\23331m", "\\xC2\\x9B31m"},  // U+009B, the C1 form of ESC [
      {"bad\xFF\xC3", "bad\\xFF\\xC3"},  // not UTF-8
  };
  for (const auto& [text, shown] : kCases) EXPECT_EQ(EscapeControls(text), shown) << shown;
}

// What the shell makes of each quoted word is the name, and nothing runs; a name the shell reads as it is stays so.
TEST(ShellQuoted, APastedHintRunsNothing) {
  test::TempDir dir;
  const std::string ran = dir.File("ran");
  const std::string names[] = {"$(touch " + ran + ")`touch " + ran + "`; x's\ty.srt", "/tmp/my film.srt", "",
                               "a\nb'c\\"};
  // As pasted into an interactive shell: the script holds the lines as they are.
  std::string script;
  for (std::size_t i = 0; i < std::size(names); ++i) {
    script += "printf %s " + ShellQuoted(names[i]) + " > " + ShellQuoted(dir.File(std::to_string(i))) + "\n";
  }
  ASSERT_EQ(std::system(("bash " + dir.Write("paste.sh", script)).c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(ran));
  for (std::size_t i = 0; i < std::size(names); ++i) EXPECT_EQ(test::ReadFile(dir.File(std::to_string(i))), names[i]);
  EXPECT_EQ(ShellQuoted("film_en.dvdauthor.xml"), "film_en.dvdauthor.xml");
}

TEST(OutputNameProblem, RefusesWhatAListOrAProjectCannotCarry) {
  const std::pair<std::string, std::string> kCases[] = {
      {"film_en.mpg", ""},
      {"caf\xC3\xA9 \xE6\x98\xA0\xE7\x94\xBB.mpg", ""},
      {"a\nb.mpg", "it holds a line break"},
      {"a\rb.mpg", "it holds a line break"},
      {"a\tb.mpg", "it holds a tab"},
      {"a\001b.mpg", "it holds a control character"},
      {"a\xFF.mpg", "it is not UTF-8 text (byte 2)"},
      {"a\xEF\xBF\xBE.mpg", "it holds U+FFFE or U+FFFF, which is not a character"},
  };
  for (const auto& [name, problem] : kCases) EXPECT_EQ(OutputNameProblem(name), problem) << EscapeControls(name);
}

}  // namespace
}  // namespace quillet
