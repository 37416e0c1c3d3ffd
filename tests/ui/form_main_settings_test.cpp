// The window's side of the settings file: what showing, activating, closing and ending do with it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSlider>
#include <cmath>
#include <filesystem>

#include "ui_test_support.h"

namespace quillet::test {
namespace {

namespace fs = std::filesystem;

int ScreenPpi() {
  EnsureApplication();
  return static_cast<int>(std::lround(QGuiApplication::primaryScreen()->logicalDotsPerInch()));
}

std::string Resolution() {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  return "(" + std::to_string(screen.width()) + "x" + std::to_string(screen.height()) + ")";
}

std::string StoredForm(int ppi, const std::string& extra = {}) {
  return "[Form1]\nFormVersion=0\nFlags=0\nShowCmd=1\nPixelsPerInch=" + std::to_string(ppi) +
         "\nNormPos=100,120,911,859\nComboBoxFontSize_ItemIndex=20\nComboBoxAlign_ItemIndex=2\n"
         "offset_Position=50\noffset_or_Position=-3\nLabelImageChangedPAL_Caption=/nowhere/pal.bmp\n" +
         extra;
}

TEST(FormMainSettings, ShowingRestoresThePositionAndTheStoredValues) {
  TempDir dir;
  const std::string ini = dir.Write("Quillet_Settings.ini", StoredForm(ScreenPpi()));
  DrivenWindow w({}, ini);
  w.ShowAndActivate();
  EXPECT_TRUE(w.errors.empty());
  EXPECT_EQ(w->pos(), QPoint(100, 120));
  EXPECT_EQ(w->size(), QSize(803, 705));
  EXPECT_EQ(w->ComboBoxFontSize->currentText(), QStringLiteral("26"));
  EXPECT_EQ(w->ComboBoxAlign->currentText(), QStringLiteral("right"));
  EXPECT_EQ(w->offset->value(), 50);
  EXPECT_EQ(w->LabelOffset->text(), QStringLiteral("50"));
  EXPECT_EQ(w->offset_or->value(), -2);  // -3 restores as -2
  EXPECT_EQ(w->LabelImageChangedPAL->text(), QStringLiteral("/nowhere/pal.bmp"));
  // The colours are never stored.
  EXPECT_EQ(w->ComboBoxText->currentText(), QStringLiteral("Color 0"));
}

TEST(FormMainSettings, AnotherPixelsPerInchKeepsThePositionButRestoresTheValues) {
  TempDir dir;
  const std::string ini = dir.Write("Quillet_Settings.ini", StoredForm(ScreenPpi() + 24));
  DrivenWindow w({}, ini);
  w.ShowAndActivate();
  EXPECT_NE(w->pos(), QPoint(100, 120));
  EXPECT_EQ(w->ComboBoxFontSize->currentText(), QStringLiteral("26"));
}

TEST(FormMainSettings, ANegativeFormVersionRestoresNothing) {
  TempDir dir;
  std::string text = StoredForm(ScreenPpi());
  text.replace(text.find("FormVersion=0"), 13, "FormVersion=-1");
  const std::string ini = dir.Write("Quillet_Settings.ini", text);
  DrivenWindow w({}, ini);
  w.ShowAndActivate();
  EXPECT_EQ(w->ComboBoxFontSize->currentText(), QStringLiteral("20"));
  EXPECT_EQ(w->offset->value(), 30);
}

TEST(FormMainSettings, APlacementKeyThatIsNoNumberShowsTheErrorAndTheWindowOpens) {
  TempDir dir;
  std::string text = StoredForm(ScreenPpi());
  text.replace(text.find("Flags=0"), 7, "Flags=abc");
  const std::string ini = dir.Write("Quillet_Settings.ini", text);
  DrivenWindow w({}, ini);
  w.ShowAndActivate();
  ASSERT_FALSE(w.errors.empty());
  EXPECT_EQ(w.errors[0], "'abc' is not a valid integer value.");
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->ComboBoxFontSize->currentText(), QStringLiteral("20"));  // the restore stopped before the values
}

TEST(FormMainSettings, ClosingSavesAndProgramEndWritesTheFile) {
  TempDir dir;
  const std::string ini = dir.Write("Quillet_Settings.ini", "[Other]\nkept=yes\n\n");
  {
    DrivenWindow w({}, ini);
    w.ShowAndActivate();
    DrivenWindow::Choose(w->ComboBoxFontStyle, 3);
    w->offset->setValue(77);
    w->move(150, 90);
    const QRect frame = w->frameGeometry();
    w->close();
    // Nothing reaches the file before the program ends.
    EXPECT_EQ(ReadFile(ini), "[Other]\nkept=yes\n\n");
    w->FinishProgram();

    const std::string saved = ReadFile(ini);
    const std::string normPos = std::to_string(frame.left()) + "," + std::to_string(frame.top()) + "," +
                                std::to_string(frame.left() + frame.width()) + "," +
                                std::to_string(frame.top() + frame.height());
    EXPECT_EQ(frame.topLeft(), QPoint(150, 90));
    EXPECT_NE(saved.find("[Other]\nkept=yes\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("FormVersion=0\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("ShowCmd=1\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("PixelsPerInch=" + std::to_string(ScreenPpi()) + "\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("NormPos" + Resolution() + "=" + normPos + "\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\nNormPos=" + normPos + "\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("ComboBoxFontStyle_ItemIndex=3\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("offset_Position=77\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("offset_or_Position=-4\n"), std::string::npos) << saved;
  }
  // The next start puts everything back.
  DrivenWindow again({}, ini);
  again.ShowAndActivate();
  EXPECT_EQ(again->pos(), QPoint(150, 90));
  EXPECT_EQ(again->ComboBoxFontStyle->currentText(), QStringLiteral("Underline"));
  EXPECT_EQ(again->offset->value(), 77);
}

TEST(FormMainSettings, AWindowDestroyedWithoutClosingStillSaves) {
  TempDir dir;
  const std::string ini = dir.File("Quillet_Settings.ini");
  {
    DrivenWindow w({}, ini);
    w.ShowAndActivate();
    DrivenWindow::Choose(w->ComboBoxOutlineWidth, 2);
  }
  EXPECT_NE(ReadFile(ini).find("ComboBoxOutlineWidth_ItemIndex=2\n"), std::string::npos);
}

TEST(FormMainSettings, AnUnattendedRunLeavesTheFileAsItWas) {
  TempDir dir;
  const std::string before = StoredForm(ScreenPpi()) + "\n";
  const std::string ini = dir.Write("Quillet_Settings.ini", before);
  {
    // The job fails (no such subtitle), so the window stays open and is then closed by the person.
    DrivenWindow w(
        {"1", "none.ifo", dir.File("missing.srt"), "1", "1", "0", "3", "0", "0", "4", "0", "10", "0", "30", "-4", "1"},
        ini);
    w->show();
    ASSERT_TRUE(WaitUntil([&] { return !w.messages.empty() || !w.errors.empty(); }));
    EXPECT_EQ(w->ComboBoxFontSize->currentText(), QStringLiteral("16"));  // the command line's, not the file's
    w->close();
    w->FinishProgram();
  }
  EXPECT_EQ(ReadFile(ini), before);

  // Without a file, an unattended run leaves an empty one.
  TempDir empty;
  const std::string none = empty.File("Quillet_Settings.ini");
  {
    DrivenWindow w({"1", "none.ifo", empty.File("missing.srt"), "1", "1", "0", "3", "0", "0", "4", "0", "10", "0", "30",
                    "-4", "1"},
                   none);
    w->show();
    ASSERT_TRUE(WaitUntil([&] { return !w.messages.empty() || !w.errors.empty(); }));
    w->close();
  }
  ASSERT_TRUE(fs::exists(none));
  EXPECT_EQ(ReadFile(none), "");
}

}  // namespace
}  // namespace quillet::test
