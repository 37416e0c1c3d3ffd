// The window's side of the settings file: what showing, activating, closing and ending do with it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSlider>
#include <cmath>

#include "qt_window_geometry.h"
#include "ui_test_support.h"

namespace quillet::test {
namespace {

int ScreenPpi() {
  EnsureApplication();
  return static_cast<int>(std::lround(QGuiApplication::primaryScreen()->logicalDotsPerInch()));
}

std::string Resolution() {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  return QStringLiteral("(%1x%2)").arg(screen.width()).arg(screen.height()).toStdString();
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
  EXPECT_EQ(w->geometry(), QRect(100, 120, 803, 705));  // the client area, as it was saved
  EXPECT_EQ(w->ComboBoxFontSize->currentText(), QStringLiteral("26"));
  EXPECT_EQ(w->ComboBoxAlign->currentText(), QStringLiteral("right"));
  EXPECT_EQ(w->offset->value(), 50);
  EXPECT_EQ(w->LabelOffset->text(), QStringLiteral("50"));
  EXPECT_EQ(w->offset_or->value(), -2);  // -3 restores as -2
  EXPECT_EQ(w->LabelImageChangedPAL->text(), QStringLiteral("/nowhere/pal.bmp"));
  // The colours are never stored; a file from before the VobSub box leaves it unticked.
  EXPECT_EQ(w->ComboBoxText->currentText(), QStringLiteral("Color 0"));
  EXPECT_FALSE(w->CheckBoxVobSub->isChecked());
}

TEST(FormMainSettings, APlaceOffEveryScreenIsCentredAndAPartlyHiddenOneMovedWhollyIn) {
  const QList<QRect> screens{{0, 0, 1024, 768}, {1024, 0, 1280, 1024}};
  const QMargins frame(4, 22, 4, 4);
  const QSize size(803, 705);
  // Where its title bar can be grabbed, on either screen, a window stays.
  EXPECT_EQ(ui::ReachableClientPosition({{100, 40}, size}, frame, screens), QPoint(100, 40));
  EXPECT_EQ(ui::ReachableClientPosition({{1490, 300}, size}, frame, screens), QPoint(1490, 300));
  // Off every screen: centred on the first.
  EXPECT_EQ(ui::ReachableClientPosition({{5000, -3000}, size}, frame, screens), QPoint(110, 40));
  // Its title bar above the top: moved down onto the screen it overlaps most.
  EXPECT_EQ(ui::ReachableClientPosition({{100, -200}, size}, frame, screens), QPoint(100, 22));
  EXPECT_EQ(ui::ReachableClientPosition({{1100, 10}, size}, frame, screens), QPoint(1100, 22));
  // Only part of the title bar on the screen, the close button off it: moved wholly onto the screen.
  const QList<QRect> small{{0, 0, 1024, 768}};
  EXPECT_EQ(ui::ReachableClientPosition({{900, 40}, size}, frame, small), QPoint(217, 40));
  EXPECT_EQ(ui::ReachableClientPosition({{-700, 300}, size}, frame, small), QPoint(4, 59));
  // Larger than the screen: it stays where its title bar can be grabbed, or goes to the top-left corner.
  EXPECT_EQ(ui::ReachableClientPosition({{300, 300}, size}, frame, {{0, 0, 800, 600}}), QPoint(300, 300));
  EXPECT_EQ(ui::ReachableClientPosition({{300, -100}, size}, frame, {{0, 0, 800, 600}}), QPoint(4, 22));

  // The window itself: a place stored off the screen opens it where it can be reached.
  TempDir dir;
  std::string stored = StoredForm(ScreenPpi());
  stored.replace(stored.find("NormPos=100,120"), 15, "NormPos=9000,9000");
  DrivenWindow w({}, dir.Write("Quillet_Settings.ini", stored));
  w.ShowAndActivate();
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(area.contains(w->frameGeometry().topLeft())) << w->frameGeometry().x() << "," << w->frameGeometry().y();
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
    DrivenWindow::Click(w->CheckBoxVobSub);
    w->setGeometry(QRect({150, 90}, w->size()));
    const QRect client = w->geometry();
    w->close();
    // Nothing reaches the file before the program ends.
    EXPECT_EQ(ReadFile(ini), "[Other]\nkept=yes\n\n");
    w->FinishProgram();

    const std::string saved = ReadFile(ini);
    const std::string normPos =
        "150,90," + std::to_string(150 + client.width()) + "," + std::to_string(90 + client.height());
    EXPECT_NE(saved.find("[Other]\nkept=yes\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("FormVersion=0\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("ShowCmd=1\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("PixelsPerInch=" + std::to_string(ScreenPpi()) + "\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("NormPos" + Resolution() + "=" + normPos + "\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\nNormPos=" + normPos + "\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("ComboBoxFontStyle_ItemIndex=3\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("offset_Position=77\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("offset_or_Position=-4\nCheckBoxVobSub_Checked=TRUE\n"), std::string::npos) << saved;
  }
  // The next start puts everything back.
  DrivenWindow again({}, ini);
  again.ShowAndActivate();
  EXPECT_EQ(again->geometry().topLeft(), QPoint(150, 90));
  EXPECT_EQ(again->ComboBoxFontStyle->currentText(), QStringLiteral("Underline"));
  EXPECT_EQ(again->offset->value(), 77);
  EXPECT_TRUE(again->CheckBoxVobSub->isChecked());
  EXPECT_TRUE(again->State().CheckBoxVobSub());
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
}

}  // namespace
}  // namespace quillet::test
