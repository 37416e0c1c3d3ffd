// "quillet convert" and "quillet check": many files in one process, in parallel, reported one line each.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "job/named_command_line.h"

namespace quillet {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // a file failed (convert) or something was listed (check)
inline constexpr int kExitUsage = 2;

// Runs the command on the arguments that follow its name and returns the exit status. Help goes to `out`,
// and so does one line per converted file unless --quiet; failures, notices and problems go to `err`, one line
// each, the file name first. While `errIsTerminal` (and not --quiet) a progress line is kept on `err`.
int RunNamedCommand(NamedCommand command, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    bool errIsTerminal);

}  // namespace quillet
