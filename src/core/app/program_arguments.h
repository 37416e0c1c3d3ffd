// What the program's arguments ask for, decided before any window or run exists.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quillet {

enum class ProgramStart {
  Named,       // "convert" / "check" and their arguments
  Help,        // --help, -h
  Version,     // --version
  Unattended,  // a complete 16-value command line
  Window,      // no arguments, or an incomplete command line: the window
  OpenFile,    // one argument naming an existing file: the window with that subtitle loaded
  UsageError,  // an unknown option or command; `message` names it
};

struct ProgramArguments {
  ProgramStart start = ProgramStart::Window;
  std::string file;     // OpenFile: the file as given
  std::string message;  // UsageError: what is wrong, with the hint where help is, without "quillet: "
};

// The named commands, as typed after the program name.
inline constexpr const char* kNamedCommands[] = {"convert", "check", "mux", "spumux"};

// Sorts the arguments after the program name. `exists` says whether a path names something on disk. An argument
// starting with "-" that is not a number (the first of the 16 values may be -1), or a bare word (no "/" or ".")
// that names nothing on disk, is an unknown option or command unless the 16 values are complete.
ProgramArguments ClassifyProgramArguments(const std::vector<std::string>& args,
                                          const std::function<bool(const std::string&)>& exists);

}  // namespace quillet
