// The settings file over a whole run, as the headless start and the window drive it.
#include "app/settings_lifecycle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "scripted_view.h"
#include "settings/settings_location.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::ControllerHarness;
using test::CopyData;
using test::ReadFile;
using test::TempDir;

TEST(SettingsLifecycle, AnUnattendedRunReportsABadFileOnceStillRunsTheJobAndKeepsTheFilesValues) {
  TempDir dir;
  const std::string subtitle = CopyData(dir, "e2e_three_entries.srt", "film.srt");
  const std::string stored = "[Form1]\nFlags=abc\nComboBoxFontSize_ItemIndex=20\n";
  const std::string ini = dir.Write("Quillet_Settings.ini", stored);
  ControllerHarness h(ControllerHarness::SequentialOptions(),
                      {"-1", "none", subtitle, "-1", "1", "0", "3", "0", "0", "4", "0", "14", "0", "30", "-4", "1"});
  HeadlessGeometry geometry;
  SettingsLifecycle settings(ini, h.controller, geometry, h.view);

  settings.WindowShown();
  settings.FirstActivation();
  settings.FirstActivation();  // a later activation runs nothing
  settings.ProgramEnd();
  settings.ProgramEnd();

  // Worded as any command's error: the conversion message ends with a full stop.
  EXPECT_EQ(h.view.errors, std::vector<std::string>{"'abc' is not a valid integer value."});
  EXPECT_EQ(h.view.endProgramCalls, 1);
  EXPECT_TRUE(fs::exists(dir.File("film.sup")));
  EXPECT_EQ(h.State().ComboBoxFontSize.itemIndex, 14);  // the command line's
  // Written back with the values it held (the image ends with an empty line).
  EXPECT_EQ(ReadFile(ini), stored + "\n");
}

TEST(SettingsLifecycle, AnInteractiveRunRestoresBeforeActivatingAndWritesTheFileOnceAtTheEnd) {
  TempDir dir;
  const std::string stored = "[Form1]\nComboBoxFontSize_ItemIndex=20\noffset_Position=50\n";
  const std::string ini = dir.Write("Quillet_Settings.ini", stored);
  ControllerHarness h;
  HeadlessGeometry geometry;
  SettingsLifecycle settings(ini, h.controller, geometry, h.view);

  settings.WindowShown();
  EXPECT_EQ(h.State().ComboBoxFontSize.itemIndex, 20);
  EXPECT_EQ(h.State().offset.position, 50);
  EXPECT_TRUE(h.State().preview.Empty());  // the controller's activation comes with the first activation
  settings.FirstActivation();
  EXPECT_FALSE(h.State().preview.Empty());

  h.controller.MoveOffset(77);
  settings.WindowClosing();
  EXPECT_EQ(ReadFile(ini), stored);  // nothing reaches the file before the program ends
  settings.ProgramEnd();
  EXPECT_NE(ReadFile(ini).find("offset_Position=77\n"), std::string::npos) << ReadFile(ini);
  EXPECT_TRUE(h.view.errors.empty());
}

TEST(SettingsLifecycle, AFileThatCannotBeWrittenIsReportedOnceByName) {
  TempDir dir;
  const std::string ini = dir.File("gone/Quillet_Settings.ini");
  ControllerHarness h;
  HeadlessGeometry geometry;
  SettingsLifecycle settings(ini, h.controller, geometry, h.view);
  settings.WindowShown();
  settings.FirstActivation();
  settings.WindowClosing();
  settings.ProgramEnd();
  settings.ProgramEnd();
  ASSERT_EQ(h.view.errors.size(), 1u);
  EXPECT_NE(h.view.errors[0].find(ini), std::string::npos) << h.view.errors[0];
  EXPECT_FALSE(fs::exists(ini));
}

// An installed program's folder cannot be written by the user: the settings are read from and written to the user's
// config folder, and a file beside the program is neither read nor touched. A writable folder keeps the file there.
TEST(SettingsLifecycle, TheFileIsKeptBesideAWritableProgramElseInTheUsersConfigFolder) {
  TempDir dir;
  const std::string program = dir.File("bin") + "/";
  fs::create_directory(program);
  const std::string besideText = "[Form1]\noffset_Position=40\n";
  const std::string beside = dir.Write("bin/Quillet_Settings.ini", besideText);
  const std::string config = dir.File("config");

  for (const bool writable : {false, true}) {
    const std::string path = ChooseSettingsFile({program, writable, config, "/nowhere"});
    if (!writable) test::WriteFile(path, "[Form1]\noffset_Position=50\n");
    ControllerHarness h;
    HeadlessGeometry geometry;
    SettingsLifecycle settings(path, h.controller, geometry, h.view);
    settings.WindowShown();
    settings.FirstActivation();
    EXPECT_EQ(h.State().offset.position, writable ? 40 : 50) << writable;
    h.controller.MoveOffset(writable ? 88 : 77);
    settings.WindowClosing();
    settings.ProgramEnd();
    EXPECT_TRUE(h.view.errors.empty()) << writable;
    if (!writable) {
      EXPECT_EQ(ReadFile(beside), besideText);
    }
  }
  EXPECT_NE(ReadFile(config + "/quillet/Quillet_Settings.ini").find("offset_Position=77\n"), std::string::npos);
  EXPECT_NE(ReadFile(beside).find("offset_Position=88\n"), std::string::npos);
}

}  // namespace
}  // namespace quillet
