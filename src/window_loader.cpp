// Finding and opening the window module from the program's own folder.
#include "window_loader.h"

#include <dlfcn.h>

namespace quillet {

namespace {
constexpr const char* kModuleFile = "quillet_window.so";
}

std::vector<std::string> WindowModuleCandidates(const std::string& programFolder) {
  return {programFolder + kModuleFile, programFolder + "../lib/quillet/modules/" + kModuleFile};
}

QuilletRunWindowFunction LoadWindowModule(const std::string& programFolder, std::string& error) {
  error.clear();
  for (const std::string& path : WindowModuleCandidates(programFolder)) {
    // Bound now, so a module that does not fit this program fails here rather than halfway through a run.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      const char* reason = ::dlerror();
      error += "\n  " + (reason != nullptr ? std::string(reason) : path + ": cannot be opened");
      continue;
    }
    if (void* entry = ::dlsym(module, kRunWindowSymbol)) return reinterpret_cast<QuilletRunWindowFunction>(entry);
    error += "\n  " + path + ": has no " + kRunWindowSymbol;
    ::dlclose(module);
  }
  return nullptr;
}

}  // namespace quillet
