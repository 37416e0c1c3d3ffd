// The window as a desktop program: keyboard and mouse on its controls, tooltips, dropped files, message boxes,
// small screens.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include "form_about.h"
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
  EXPECT_TRUE(drop.isAccepted());
  // The drop is answered before the file loads, so the dragging program does not wait for the load's message.
  EXPECT_EQ(w->ListBoxPreview->count(), 0);
  EXPECT_TRUE(w.messages.empty());
  EXPECT_TRUE(WaitUntil([&] { return w->ListBoxPreview->count() == 10; }));
  EXPECT_TRUE(w.dialogs.empty());
}

// Every control a person uses, inside `window`'s scroll area: each one scrolled into view lies wholly inside the
// window. Returns how many there are.
int ExpectEveryControlReachable(QWidget& window) {
  auto* scroll = window.findChild<QScrollArea*>(QStringLiteral("ScrollArea"));
  EXPECT_NE(scroll, nullptr);
  if (scroll == nullptr) return 0;
  int count = 0;
  for (QWidget* control : scroll->widget()->findChildren<QWidget*>()) {
    const bool used = qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
                      qobject_cast<QSlider*>(control) || qobject_cast<QAbstractScrollArea*>(control);
    if (!used || !control->isVisibleTo(&window)) continue;
    ++count;
    scroll->ensureWidgetVisible(control, 0, 0);
    const QRect shown(control->mapTo(&window, QPoint(0, 0)), control->size());
    EXPECT_TRUE(window.rect().contains(shown)) << control->objectName().toStdString() << " at " << shown.x() << ","
                                               << shown.y() << " in " << window.width() << "x" << window.height();
  }
  return count;
}

// A screen smaller than the windows (800x600; 1280x1024 at scale 2): each is made smaller, wholly on the screen with
// its title bar, and scrolls to every control. On a screen large enough nothing scrolls.
TEST(FormMainDesktop, OnASmallScreenTheWindowsFitAndScrollToEveryControl) {
  DrivenWindow w;
  w.ShowAndActivate();
  EXPECT_EQ(w->size(), QSize(803, 705));
  const auto* scroll = w->findChild<QScrollArea*>(QStringLiteral("ScrollArea"));
  ASSERT_NE(scroll, nullptr);
  EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible() || scroll->verticalScrollBar()->isVisible());
  ui::TFormAbout& about = w->FormAbout();
  for (const QRect& screen : {QRect(0, 0, 800, 600), QRect(0, 0, 640, 512)}) {
    for (QWidget* window : {static_cast<QWidget*>(&w.Window()), static_cast<QWidget*>(&about)}) {
      window->show();
      ui::FitOnScreen(*window, window == &about ? QSize(616, 566) : QSize(803, 705), screen);
      QApplication::processEvents();
      SCOPED_TRACE(window->objectName().toStdString() + " on " + std::to_string(screen.width()));
      EXPECT_TRUE(screen.contains(window->geometry().marginsAdded(ui::FrameMargins(*window))));
      EXPECT_LE(window->width(), screen.width());
      EXPECT_GE(ExpectEveryControlReachable(*window), window == &about ? 3 : 26);
    }
    about.hide();
  }
}

// "Color 15" reads whole in the closed list, and the open list shows each entry's colour.
TEST(FormMainDesktop, TheColourListsShowTheirWholeTextAndTheEntriesColours) {
  DrivenWindow w;
  w.ShowAndActivate();
  for (QComboBox* list : {w->ComboBoxAntialias, w->ComboBoxOutline, w->ComboBoxText, w->ComboBoxBg}) {
    EXPECT_TRUE(list->itemIcon(3).isNull());  // no palette yet
    list->setCurrentIndex(15);
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.currentText = list->currentText();
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    EXPECT_LE(list->fontMetrics().horizontalAdvance(QStringLiteral("Color 15")), field.width())
        << list->objectName().toStdString();
  }
  DrivenWindow::Click(w->i_dont_have_ifo);  // the generic greys: entry n is 85 * n for n up to 3
  for (int n = 0; n < 4; ++n) {
    const QImage icon = w->ComboBoxText->itemIcon(n).pixmap(12, 12).toImage();
    EXPECT_EQ(icon.pixelColor(6, 6), QColor(85 * n, 85 * n, 85 * n)) << n;
  }
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
