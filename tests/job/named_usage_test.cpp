// The help texts and the man page name the options the named command line accepts, and the same ones.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "job/named_command_line.h"
#include "test_support.h"

namespace quillet {
namespace {

// Option names written in a text ("--offset-or", "-j"), in help lines and in man page macros alike.
std::set<std::string> OptionNames(const std::string& text) {
  static const std::regex kName(R"re((^|[\s,(/"])(--[a-z][a-z-]*[a-z]|-[a-z])(?=[\s,;./=)"]|$))re");
  std::set<std::string> names;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), kName); it != std::sregex_iterator(); ++it) {
    names.insert((*it)[2]);
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
  manPage.erase("--name");     // "--name=value is the same as --name value"
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

}  // namespace
}  // namespace quillet
