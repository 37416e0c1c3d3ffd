// The window as a desktop program: keyboard and mouse on its controls, tooltips, dropped files, message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include "form_about.h"
#include "scripted_view.h"
#include "ui_test_support.h"
#include "window_style.h"

namespace quillet::test {
namespace {

// Drops `path` on the window as a file manager does.
void DropFile(ui::TFormMain& window, const std::string& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  const QPointF centre(window.width() / 2.0, window.height() / 2.0);
  QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
}

TEST(FormMainDesktop, EnterPressesTheFocusedButtonAndTheNoIfoTextTicksItsBox) {
  DrivenWindow w;
  int shown = 0;
  w->showModalHook = [&](QWidget&) { ++shown; };
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    w->ButtonAbout->setFocus();
    QTest::keyClick(w->ButtonAbout, key);
  }
  EXPECT_EQ(shown, 2);

  DrivenWindow::Click(w->no_ifo);  // the middle of the text, right of the box
  EXPECT_TRUE(w->i_dont_have_ifo->isChecked());
  EXPECT_TRUE(w->State().i_dont_have_ifo);
  DrivenWindow::Click(w->no_ifo);
  EXPECT_FALSE(w->State().i_dont_have_ifo);
}

TEST(FormMainDesktop, TheFocusFrameShowsOnLoadIfoAtStart) {
  DrivenWindow w;
  w.ShowAndActivate();
  EXPECT_EQ(w->focusWidget(), w->ButtonLoadIfo);
  EXPECT_TRUE(w->testAttribute(Qt::WA_KeyboardFocusChange));  // what makes the style draw the frame
}

TEST(FormMainDesktop, SwatchesHaveAnEdgeAndTheirTooltipsKeepTheTooltipColours) {
  DrivenWindow w;
  w.ShowAndActivate();
  w->i_dont_have_ifo->click();
  QLabel* swatch = w->PaletteSwatches[0];
  ASSERT_NE(swatch, nullptr);
  const QImage drawn = swatch->grab().toImage();
  const QColor fill = drawn.pixelColor(drawn.width() / 2, drawn.height() / 2);
  EXPECT_EQ(drawn.pixelColor(0, 0), QColor(0x40, 0x40, 0x40));
  EXPECT_NE(drawn.pixelColor(0, 0), fill);

  QToolTip::showText(swatch->mapToGlobal(swatch->rect().center()), swatch->toolTip(), swatch);
  QWidget* tip = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->inherits("QTipLabel") && top->isVisible()) tip = top;
    }
    return tip != nullptr;
  }));
  const QImage tipImage = tip->grab().toImage();
  EXPECT_NE(tipImage.pixelColor(tipImage.width() - 3, tipImage.height() / 2), fill);
  QToolTip::hideText();
}

TEST(FormMainDesktop, LongPathsAndCutOffEntriesShowWholeAsTooltips) {
  DrivenWindow w;
  const std::string folder = w.Dir().File(std::string(60, 'd'));
  std::filesystem::create_directory(folder);
  const std::string srt = folder + "/film.srt";
  std::filesystem::copy_file(DataFile("ctl_ten_entries.srt"), srt);
  w->Controller().OpenFile(srt);
  EXPECT_EQ(w->EditLoadSrt->toolTip(), QString::fromStdString(srt));
  EXPECT_EQ(w->EditLoadIfo->toolTip(), QString());  // "Load IFO" fits its box
  int withTip = 0;
  for (int row = 0; row < w->ListBoxPreview->count(); ++row) {
    const QListWidgetItem* item = w->ListBoxPreview->item(row);
    const bool cut =
        w->ListBoxPreview->fontMetrics().horizontalAdvance(item->text()) > w->ListBoxPreview->viewport()->width() - 4;
    EXPECT_EQ(item->toolTip(), cut ? item->text() : QString()) << row;
    withTip += cut;
  }
  EXPECT_GT(withTip, 0);  // the file has entries wider than the list
}

TEST(FormMainDesktop, ADroppedSubtitleOrIfoLoadsAsItsButtonWould) {
  DrivenWindow w;
  w.ShowAndActivate();
  DropFile(w.Window(), w.Copy(DataFile("ifo_greys_pal.ifo"), "VTS_01_0.IFO"));
  EXPECT_TRUE(w->State().IfoLoaded);
  DropFile(w.Window(), w.Copy(DataFile("ctl_ten_entries.srt"), "film.srt"));
  EXPECT_EQ(w->ListBoxPreview->count(), 10);
  EXPECT_TRUE(w->State().SubtitleLoaded);
  EXPECT_FALSE(w->State().palette->generic);  // the dropped IFO's colours
  EXPECT_TRUE(w.dialogs.empty());
}

TEST(FormMainDesktop, AShortMessageLeavesRoomForItsTitle) {
  EnsureApplication();
  QMessageBox plain(QMessageBox::NoIcon, QStringLiteral("Quillet"), QStringLiteral("Operation Aborted"));
  QMessageBox widened(QMessageBox::NoIcon, QStringLiteral("Quillet"), QStringLiteral("Operation Aborted"));
  ui::GiveRoomForTitle(widened);
  EXPECT_GE(widened.sizeHint().width(), widened.fontMetrics().horizontalAdvance(QStringLiteral("Quillet")) + 160);
  EXPECT_GT(widened.sizeHint().width(), plain.sizeHint().width());
}

}  // namespace
}  // namespace quillet::test
