// Where the settings file lives: beside the program when it can be kept there, else in the user's config folder.
#include "settings/settings_location.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "settings/form_storage.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The folder a user's config lives in, or "" when the environment names none.
fs::path ConfigHome(const SettingsPlaces& places) {
  if (!places.xdgConfigHome.empty() && fs::path(places.xdgConfigHome).is_absolute()) return places.xdgConfigHome;
  if (!places.home.empty()) return fs::path(places.home) / ".config";
  return {};
}

fs::path ConfigFolder(const SettingsPlaces& places) {
  const fs::path home = ConfigHome(places);
  return home.empty() ? fs::path() : home / "quillet";
}

}  // namespace

std::string SettingsFilePath(const SettingsPlaces& places) {
  const fs::path folder = places.besideProgramWritable ? fs::path() : ConfigFolder(places);
  if (folder.empty()) return places.programFolder + kSettingsFileName;
  return (folder / kSettingsFileName).string();
}

SettingsPlaces SettingsPlacesOfProcess(const std::string& programFolder) {
  SettingsPlaces places;
  places.programFolder = programFolder;
  const std::string beside = programFolder + kSettingsFileName;
  places.besideProgramWritable =
      ::access(programFolder.c_str(), W_OK | X_OK) == 0 || ::access(beside.c_str(), W_OK) == 0;
  places.xdgConfigHome = Environment("XDG_CONFIG_HOME");
  places.home = Environment("HOME");
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
