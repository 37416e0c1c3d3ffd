// "quillet spumux" (and the program started under the name spumux): spumux's command line for text subtitles,
// so that authoring programs that call spumux get this program's subtitles.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quillet {

// Runs spumux's command on `args` (those after the command's name): the film comes on `inFd`, the film with the
// subtitles goes to `outFd`, messages to `err` in spumux's manner ("STAT:", "WARN:", "ERR:"). Returns the exit
// status: 0, or 1 when nothing usable was written.
int RunSpumuxCommand(const std::vector<std::string>& args, int inFd, int outFd, std::ostream& err);

}  // namespace quillet
