// The user's folders as the environment names them.
#include "base/user_folders.h"

#include <cstdlib>

namespace quillet {

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string XdgBaseFolder(const std::string& variableValue, const std::string& home, const char* underHome) {
  if (!variableValue.empty() && variableValue.front() == '/') return variableValue;
  if (home.empty()) return {};
  return home + "/" + underHome;
}

}  // namespace quillet
