// Runs a program as a script would: no display, its standard output and error captured.
#pragma once

#include <string>
#include <vector>

#include "test_support.h"

namespace quillet::test {

struct ProgramRun {
  int status = -1;  // exit status, or -1 when the process did not exit normally
  std::string out;
  std::string err;
};

// Runs `program` with `args` and this process's environment less DISPLAY and WAYLAND_DISPLAY, from the
// current folder, standard input closed.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args);

// A copy of the built quillet in a temporary folder (see ProgramCopy).
inline ProgramRun RunQuilletProgram(const std::vector<std::string>& args) { return RunProgram(ProgramCopy(), args); }

}  // namespace quillet::test
