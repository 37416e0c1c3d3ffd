// Runs a program as a script would: no display, its standard output and error captured.
#pragma once

#include <string>
#include <vector>

#include "test_support.h"

namespace quillet::test {

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct ProgramRun {
  int status = -1;  // exit status; -1 when the process did not exit normally, -2 when it was killed at its limit
  std::string out;
  std::string err;
};

struct RunOptions {
  std::vector<std::string> extraEnv;  // "NAME=value", added to the inherited environment
  int limitSeconds = 0;               // a process still running after this long is killed; 0: no limit
};

// Runs `program` with `args` from the current folder, standard input closed, with this process's environment
// less DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM (CTest sets offscreen, which would open an invisible window
// instead of the headless run) and LD_DEBUG, plus `options.extraEnv`.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, const RunOptions& options = {});

// A copy of the built quillet in a temporary folder (see ProgramCopy).
inline ProgramRun RunQuilletProgram(const std::vector<std::string>& args, const RunOptions& options = {}) {
  return RunProgram(ProgramCopy(), args, options);
}

}  // namespace quillet::test
