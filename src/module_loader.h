// Opening a module of the program (the window, the mux command) from the program's own folder.
#pragma once

#include <string>
#include <vector>

namespace quillet {

// Where a module may lie, in the order tried: beside the program (the build tree), then in lib/quillet/modules
// beside the program's bin folder (an installed program). programFolder ends with "/".
std::vector<std::string> ModuleCandidates(const std::string& programFolder, const std::string& moduleFile);

// The address of `symbol` in the first module that opens and has it, or null with `error` saying why none could
// (each place tried and what went wrong there). The module stays loaded until the process ends.
void* LoadModuleSymbol(const std::string& programFolder, const std::string& moduleFile, const char* symbol,
                       std::string& error);

}  // namespace quillet
