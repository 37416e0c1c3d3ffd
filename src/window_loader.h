// Finding and opening the window module from the program's own folder.
#pragma once

#include <string>
#include <vector>

#include "window_module.h"

namespace quillet {

// Where the module may lie, in the order tried: beside the program (the build tree), then in lib/quillet/modules
// beside the program's bin folder (an installed program). programFolder ends with "/".
std::vector<std::string> WindowModuleCandidates(const std::string& programFolder);

// The window's entry, or null with `error` saying why no module could be opened (each place tried and what
// went wrong there). The module stays loaded until the process ends.
QuilletRunWindowFunction LoadWindowModule(const std::string& programFolder, std::string& error);

}  // namespace quillet
