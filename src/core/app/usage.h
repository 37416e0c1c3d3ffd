// The command-line help printed by "quillet --help", and the version line of "--version".
#pragma once

#include <string>

namespace quillet {

std::string CommandLineUsage();

// "quillet 1.0.0\n".
std::string ProgramVersionLine();

}  // namespace quillet
