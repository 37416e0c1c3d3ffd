// Where the settings file lives: beside the program when it can be kept there, else in the user's config folder.
#include "settings/settings_location.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "base/user_folders.h"
#include "settings/form_storage.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

// The folder of this program's config, or "" when the environment names no config folder.
fs::path ConfigFolder(const SettingsPlaces& places) {
  const std::string config = XdgBaseFolder(places.xdgConfigHome, places.home, ".config");
  return config.empty() ? fs::path() : fs::path(config) / "quillet";
}

}  // namespace

std::string SettingsFilePath(const SettingsPlaces& places) {
  const fs::path folder = places.besideProgramWritable ? fs::path() : ConfigFolder(places);
  if (folder.empty()) return places.programFolder + kSettingsFileName;
  return (folder / kSettingsFileName).string();
}

bool IsSystemProgramFolder(const std::string& programFolder) {
  for (const char* prefix : {"/usr/", "/usr/local/"}) {
    for (const char* folder : {"bin/", "sbin/", "games/", "lib/", "libexec/"}) {
      const std::string system = std::string(prefix) + folder;
      if (programFolder.compare(0, system.size(), system) == 0) return true;
    }
  }
  return false;
}

SettingsPlaces SettingsPlacesOfProcess(const std::string& programFolder) {
  SettingsPlaces places;
  places.programFolder = programFolder;
  const std::string beside = programFolder + kSettingsFileName;
  places.besideProgramWritable =
      !IsSystemProgramFolder(programFolder) &&
      (::access(programFolder.c_str(), W_OK | X_OK) == 0 || ::access(beside.c_str(), W_OK) == 0);
  places.xdgConfigHome = EnvironmentValue("XDG_CONFIG_HOME");
  places.home = EnvironmentValue("HOME");
  return places;
}

std::string ChooseSettingsFile(const SettingsPlaces& places) {
  const std::string path = SettingsFilePath(places);
  if (path != places.programFolder + kSettingsFileName) {
    std::error_code ignored;
    fs::create_directories(fs::path(path).parent_path(), ignored);
  }
  return path;
}

}  // namespace quillet
