// The help texts and the man page name the options the named command line accepts, and the same ones.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "job/named_command_line.h"
#include "test_support.h"

namespace quillet {
namespace {

// Option names written in a text ("--offset-or", "-j"), in help lines and in man page macros alike: a name starts
// the text or follows a blank or one of , ( / " and ends the text or comes before a blank or one of , ; . / = ) ".
// (std::regex would do, but GCC 12 warns of its own header under the sanitizers at -O1.)
std::set<std::string> OptionNames(const std::string& text) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  const auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
  const std::string before = ",(/\"", after = ",;./=)\"";
  std::set<std::string> names;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '-' || (at > 0 && !blank(text[at - 1]) && before.find(text[at - 1]) == std::string::npos)) continue;
    const bool longName = text.compare(at, 2, "--") == 0;
    std::size_t end = at + (longName ? 2 : 1);
    while (end < text.size() && (lower(text[end]) || (longName && text[end] == '-'))) ++end;
    const std::string name = text.substr(at, end - at);
    const bool shape = longName ? name.size() >= 4 && lower(name[2]) && lower(name.back()) : name.size() == 2;
    if (shape && (end == text.size() || blank(text[end]) || after.find(text[end]) != std::string::npos)) {
      names.insert(name);
    }
  }
  return names;
}

// The man page's OPTIONS section as a reader sees it: "\-" is a plain hyphen.
std::string ManPageOptions() {
  std::string page = test::ReadFile(std::string(QUILLET_SOURCE_DIR) + "/data/quillet.1");
  for (std::size_t at; (at = page.find("\\-")) != std::string::npos;) page.erase(at, 1);
  const std::size_t start = page.find(".SH OPTIONS");
  const std::size_t end = page.find(".SH", start + 1);
  EXPECT_NE(start, std::string::npos);
  return page.substr(start, end - start);
}

// True when `command` knows the option: with a value after it, the parse may fail on the value, never on the name.
bool Accepts(NamedCommand command, const std::string& name) {
  const NamedParse parse = ParseNamedCommandLine(command, {name, "1", "film.srt"});
  return parse.help || parse.error.rfind("unknown option", 0) != 0;
}

TEST(NamedUsage, EveryOptionTheHelpNamesIsAcceptedAndInTheManPage) {
  const std::set<std::string> convert = OptionNames(NamedCommandUsage(NamedCommand::Convert));
  const std::set<std::string> check = OptionNames(NamedCommandUsage(NamedCommand::Check));
  std::set<std::string> manPage = OptionNames(ManPageOptions());
  manPage.erase("--name");  // "--name=value is the same as --name value"
  for (const char* name : {"--ifo", "--colours", "--offset-or", "--format", "--output", "--jobs", "-q", "-h"}) {
    EXPECT_TRUE(convert.count(name)) << name << " is missing from the convert help";
  }
  for (const std::string& name : convert) {
    EXPECT_TRUE(Accepts(NamedCommand::Convert, name)) << name;
    EXPECT_TRUE(Accepts(NamedCommand::Check, name)) << name;  // one option list serves both
  }
  EXPECT_EQ(manPage, convert);
  for (const std::string& name : check) EXPECT_TRUE(convert.count(name)) << name;
  EXPECT_FALSE(Accepts(NamedCommand::Convert, "--middle"));  // the check itself can fail
}

// mux takes the frame from the video, not --pal, and dvdauthor wants a new folder for each disc.
TEST(NamedUsage, TheMuxHelpSaysWhatDecidesTheFrameAndTheDiscsFolder) {
  const std::string mux = NamedCommandUsage(NamedCommand::Mux);
  EXPECT_EQ(mux.find("default --pal"), std::string::npos) << mux;
  EXPECT_NE(mux.find("--pal, --ntsc       720x576 or 720x480 frame (default: the video's; --ifo: the IFO's)"),
            std::string::npos)
      << mux;
  EXPECT_NE(mux.find("in the new folder DVD (dvdauthor adds a title to a disc already there)"), std::string::npos);
  EXPECT_NE(NamedCommandUsage(NamedCommand::Convert).find("(default --pal; with --ifo the IFO decides)"),
            std::string::npos);
}

}  // namespace
}  // namespace quillet
