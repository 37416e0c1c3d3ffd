// Where the settings file lives: beside a program whose folder can be written, else in the user's config folder.
#include "settings/settings_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::ScopedVariable;
using test::TempDir;

TEST(SettingsLocation, BesideAWritableProgramElseInTheUsersConfigFolder) {
  struct Case {
    const char* what;
    bool writable;
    const char* xdg;
    const char* home;
    const char* expected;
  };
  for (const Case& c : {
           Case{"portable", true, "/cfg", "/home/ann", "/opt/q/Quillet_Settings.ini"},
           Case{"installed", false, "/cfg", "/home/ann", "/cfg/quillet/Quillet_Settings.ini"},
           Case{"no XDG variable", false, "", "/home/ann", "/home/ann/.config/quillet/Quillet_Settings.ini"},
           Case{"a relative XDG variable counts as none", false, "cfg", "/home/ann",
                "/home/ann/.config/quillet/Quillet_Settings.ini"},
           Case{"nowhere else to go", false, "", "", "/opt/q/Quillet_Settings.ini"},
       }) {
    EXPECT_EQ(SettingsFilePath({"/opt/q/", c.writable, c.xdg, c.home}), c.expected) << c.what;
  }
}

TEST(SettingsLocation, TheConfigFolderIsCreatedOnlyWhenTheFileGoesThere) {
  TempDir dir;
  const std::string config = dir.File("config");
  const std::string program = dir.File("bin") + "/";
  fs::create_directory(program);

  EXPECT_EQ(ChooseSettingsFile({program, true, config, ""}), program + "Quillet_Settings.ini");
  EXPECT_FALSE(fs::exists(config));

  EXPECT_EQ(ChooseSettingsFile({program, false, config, ""}), config + "/quillet/Quillet_Settings.ini");
  EXPECT_TRUE(fs::is_directory(config + "/quillet"));
}


TEST(SettingsLocation, TheProcessTellsTheFolderAndTheVariables) {
  TempDir dir;
  const ScopedVariable xdg("XDG_CONFIG_HOME", "/x/config");
  const ScopedVariable home("HOME", "/x/home");
  const std::string folder = dir.Path().string() + "/";

  const SettingsPlaces places = SettingsPlacesOfProcess(folder);
  EXPECT_EQ(places.programFolder, folder);
  EXPECT_TRUE(places.besideProgramWritable);
  EXPECT_EQ(places.xdgConfigHome, "/x/config");
  EXPECT_EQ(places.home, "/x/home");

  EXPECT_FALSE(SettingsPlacesOfProcess(dir.File("no such folder") + "/").besideProgramWritable);
}

// Root may write into /usr/bin, but a settings file there is one no package manager removes.
TEST(SettingsLocation, AProgramInASystemFolderNeverKeepsItsSettingsBesideItself) {
  const ScopedVariable xdg("XDG_CONFIG_HOME", "/x/config");
  for (const auto& [folder, system] : {std::pair{"/usr/bin/", true}, std::pair{"/usr/local/bin/", true},
                                       std::pair{"/usr/lib/quillet/", true}, std::pair{"/opt/quillet/", false},
                                       std::pair{"/usr/src/quillet/build/", false}, std::pair{"/home/ann/q/", false}}) {
    EXPECT_EQ(IsSystemProgramFolder(folder), system) << folder;
  }
  EXPECT_EQ(SettingsFilePath(SettingsPlacesOfProcess("/usr/bin/")), "/x/config/quillet/Quillet_Settings.ini");
}

}  // namespace
}  // namespace quillet
