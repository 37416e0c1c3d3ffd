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

#include "scripted_view.h"
#include "ui_test_support.h"
#include "window_style.h"

namespace quillet::test {
namespace {

TEST(FormMainDesktop, TheFocusFrameShowsAtStartEnterPressesTheFocusedButtonAndTheNoIfoTextTicksItsBox) {
  DrivenWindow w;
  w.ShowAndActivate();
  EXPECT_EQ(w->focusWidget(), w->ButtonLoadIfo);
  EXPECT_TRUE(w->testAttribute(Qt::WA_KeyboardFocusChange));  // what makes the style draw the frame

  int shown = 0;
  w->showModalHook = [&](QWidget&) { ++shown; };
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    w->ButtonAbout->setFocus();
    QTest::keyClick(w->ButtonAbout, key);
  }
  EXPECT_EQ(shown, 2);

  DrivenWindow::Click(w->no_ifo);  // the middle of the text, right of the box
  EXPECT_TRUE(w->State().i_dont_have_ifo);
  DrivenWindow::Click(w->no_ifo);
  EXPECT_FALSE(w->State().i_dont_have_ifo);
}

TEST(FormMainDesktop, SwatchesHaveAnEdgeAndTheirTooltipsKeepTheTooltipColours) {
  DrivenWindow w;
  w.ShowAndActivate();
  w->i_dont_have_ifo->click();
  QLabel* swatch = w->PaletteSwatches[0];
  const QImage drawn = swatch->grab().toImage();
  const QColor fill = drawn.pixelColor(drawn.width() / 2, drawn.height() / 2);
  EXPECT_EQ(drawn.pixelColor(0, 0), QColor(0x40, 0x40, 0x40));

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
  const std::string srt = w.Copy(DataFile("ctl_ten_entries.srt"), std::string(60, 'd') + ".srt");
  w->Controller().OpenFile(srt);
  EXPECT_EQ(w->EditLoadSrt->toolTip(), QString::fromStdString(srt));
  EXPECT_EQ(w->EditLoadIfo->toolTip(), QString());  // "Load IFO" fits its box
  int withTip = 0;
  for (int row = 0; row < w->ListBoxPreview->count(); ++row) {
    const QListWidgetItem* item = w->ListBoxPreview->item(row);
    EXPECT_TRUE(item->toolTip().isEmpty() || item->toolTip() == item->text()) << row;
    withTip += !item->toolTip().isEmpty();
  }
  EXPECT_GT(withTip, 0);  // the file has entries wider than the list, and shorter ones
  EXPECT_LT(withTip, w->ListBoxPreview->count());
}

// What a dropped file loads is the controller's to decide; the window hands it over.
TEST(FormMainDesktop, ADroppedFileLoadsAsItsButtonWould) {
  DrivenWindow w;
  w.ShowAndActivate();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(w.Copy(DataFile("ctl_ten_entries.srt"), "film.srt")))});
  const QPointF centre(w->width() / 2.0, w->height() / 2.0);
  QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w.Window(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w.Window(), &drop);
  EXPECT_EQ(w->ListBoxPreview->count(), 10);
  EXPECT_TRUE(w.dialogs.empty());
}

TEST(FormMainDesktop, AShortMessageLeavesRoomForItsTitle) {
  EnsureApplication();
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quillet"), QStringLiteral("Operation Aborted"));
  const int plain = box.sizeHint().width();
  ui::GiveRoomForTitle(box);
  EXPECT_GT(box.sizeHint().width(), plain);
}

}  // namespace
}  // namespace quillet::test
