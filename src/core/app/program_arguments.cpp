// Sorting the program's arguments: a named command, help, a job, a file to open, or a usage error.
#include "app/program_arguments.h"

#include "base/number_text.h"
#include "job/command_line.h"

namespace quillet {

namespace {

std::string CommandList() {
  std::string out;
  const std::size_t count = std::size(kNamedCommands);
  for (std::size_t i = 0; i < count; ++i) {
    if (i) out += i + 1 == count ? " and " : ", ";
    out += kNamedCommands[i];
  }
  return out;
}

}  // namespace

ProgramArguments ClassifyProgramArguments(const std::vector<std::string>& args,
                                          const std::function<bool(const std::string&)>& exists) {
  ProgramArguments result;
  if (args.empty()) return result;
  const std::string& first = args[0];
  for (const char* command : kNamedCommands) {
    if (first == command) {
      result.start = ProgramStart::Named;
      return result;
    }
  }
  if (first == "--help" || first == "-h") {
    result.start = ProgramStart::Help;
    return result;
  }
  if (first == "--version") {
    result.start = ProgramStart::Version;
    return result;
  }
  if (ParseCommandLine(args).unattended) {
    result.start = ProgramStart::Unattended;
    return result;
  }
  const bool isNumber = ParseDecimalInteger(first).has_value();
  if (first.size() > 1 && first[0] == '-' && !isNumber) {
    result.start = ProgramStart::UsageError;
    result.message = "unknown option '" + first + "'\nTry 'quillet --help'.";
    return result;
  }
  if (args.size() == 1 && exists(first)) {
    result.start = ProgramStart::OpenFile;
    result.file = first;
    return result;
  }
  if (args.size() == 1 && !isNumber && !exists(first)) {
    result.start = ProgramStart::UsageError;
    result.message = "cannot open '" + first + "': there is no such file";
    if (first.find_first_of("/.") != std::string::npos) return result;
  }
  const bool bareWord = !first.empty() && !isNumber && first.find_first_of("/.") == std::string::npos;
  if (bareWord && !exists(first)) {
    result.start = ProgramStart::UsageError;
    result.message = "unknown command '" + first + "': the commands are " + CommandList() +
                     " (or a subtitle file to open, or the 16 values)\nTry 'quillet --help'.";
    return result;
  }
  return result;
}

}  // namespace quillet
