// Finding and opening the window module from the program's own folder.
#include "window_loader.h"

#include "module_loader.h"

namespace quillet {

namespace {
constexpr const char* kModuleFile = "quillet_window.so";
}

std::vector<std::string> WindowModuleCandidates(const std::string& programFolder) {
  return ModuleCandidates(programFolder, kModuleFile);
}

QuilletRunWindowFunction LoadWindowModule(const std::string& programFolder, std::string& error) {
  return reinterpret_cast<QuilletRunWindowFunction>(
      LoadModuleSymbol(programFolder, kModuleFile, kRunWindowSymbol, error));
}

}  // namespace quillet
