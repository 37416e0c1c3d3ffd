// The user's folders as the environment names them.
#pragma once

#include <string>

namespace quillet {

// The value of an environment variable, "" when it is unset.
std::string EnvironmentValue(const char* name);

// A user's XDG base folder: `variableValue` ($XDG_CONFIG_HOME, $XDG_CACHE_HOME …) when it is an absolute path,
// else `underHome` (".config", ".cache" …) in the home folder; "" when neither is usable.
std::string XdgBaseFolder(const std::string& variableValue, const std::string& home, const char* underHome);

}  // namespace quillet
