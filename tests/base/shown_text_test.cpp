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

TEST(ShellQuoted, GivesOneWordTheShellReadsBackUnchanged) {
  const std::pair<std::string, std::string> kCases[] = {
      {"film_en.dvdauthor.xml", "film_en.dvdauthor.xml"},
      {"/tmp/my film.srt", "'/tmp/my film.srt'"},
      {"it's.srt", "'it'\\''s.srt'"},
      {"", "''"},
      {"a\nb'c\\", "$'a\\nb\\'c\\\\'"},
  };
  for (const auto& [text, quoted] : kCases) EXPECT_EQ(ShellQuoted(text), quoted) << quoted;
}

// What the shell makes of the quoted word is the name, and nothing runs.
TEST(ShellQuoted, APastedHintRunsNothing) {
  test::TempDir dir;
  const std::string name = "$(touch " + dir.File("ran") + ")`touch " + dir.File("ran") + "`; x's\ty.srt";
  const std::string out = dir.File("out");
  // As pasted into an interactive shell: the script holds the line as it is.
  const std::string script = dir.Write("paste.sh", "printf %s " + ShellQuoted(name) + " > " + ShellQuoted(out) + "\n");
  ASSERT_EQ(std::system(("bash " + script).c_str()), 0);
  EXPECT_EQ(test::ReadFile(out), name);
  EXPECT_FALSE(std::filesystem::exists(dir.File("ran")));
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
