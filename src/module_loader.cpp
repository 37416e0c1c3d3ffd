// Opening a module of the program (the window, the mux command) from the program's own folder.
#include "module_loader.h"

#include <dlfcn.h>

namespace quillet {

std::vector<std::string> ModuleCandidates(const std::string& programFolder, const std::string& moduleFile) {
  return {programFolder + moduleFile, programFolder + "../lib/quillet/modules/" + moduleFile};
}

void* LoadModuleSymbol(const std::string& programFolder, const std::string& moduleFile, const char* symbol,
                       std::string& error) {
  error.clear();
  for (const std::string& path : ModuleCandidates(programFolder, moduleFile)) {
    // Bound now, so a module that does not fit this program fails here rather than halfway through a run.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      const char* reason = ::dlerror();
      error += "\n  " + (reason != nullptr ? std::string(reason) : path + ": cannot be opened");
      continue;
    }
    if (void* entry = ::dlsym(module, symbol)) return entry;
    error += "\n  " + path + ": has no " + symbol;
    ::dlclose(module);
  }
  return nullptr;
}

}  // namespace quillet
