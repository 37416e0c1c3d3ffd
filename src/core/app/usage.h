// The command-line help printed by "quillet --help".
#pragma once

#include <string>

namespace quillet {

std::string CommandLineUsage();

}  // namespace quillet
