// What the three windows share: the window font, centring on the screen, and fitting it there.
#include "window_style.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QSpacerItem>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace quillet::ui {

QFont WindowFont() {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                    QStringLiteral("DejaVu Sans")});
  font.setPointSize(8);
  return font;
}

namespace {

const QScreen* ScreenOf(const QWidget& window) {
  return window.screen() ? window.screen() : QGuiApplication::primaryScreen();
}

}  // namespace

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = ScreenOf(window);
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QSize size = window.frameGeometry().size();
  window.move(area.left() + std::max(0, (area.width() - size.width()) / 2),
              area.top() + std::max(0, (area.height() - size.height()) / 2));
}

QMargins FrameMargins(const QWidget& window) {
  const QRect client = window.geometry();
  const QRect outer = window.frameGeometry();
  const QMargins frame(client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
                       outer.bottom() - client.bottom());
  if (!frame.isNull()) return frame;
  const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
  return {2, title + 2, 2, 2};
}

QSize FittedClientSize(QSize wanted, const QRect& area, const QMargins& frame) {
  return {std::max(1, std::min(wanted.width(), area.width() - frame.left() - frame.right())),
          std::max(1, std::min(wanted.height(), area.height() - frame.top() - frame.bottom()))};
}

QScrollArea* ScrollingContent(QWidget& window, QWidget* content) {
  auto* scroll = new QScrollArea(&window);
  scroll->setObjectName(QStringLiteral("ScrollArea"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(false);
  scroll->setWidget(content);
  auto* layout = new QVBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scroll);
  return scroll;
}

void FitOnScreen(QWidget& window, QSize wanted) {
  if (const QScreen* screen = ScreenOf(window)) FitOnScreen(window, wanted, screen->availableGeometry());
}

void FitOnScreen(QWidget& window, QSize wanted, const QRect& area) {
  const QMargins frame = FrameMargins(window);
  const QSize size = FittedClientSize(wanted, area, frame);
  if (window.size() != size) window.setFixedSize(size);
  const QRect outer = QRect(window.geometry().topLeft(), size).marginsAdded(frame);
  if (area.contains(outer)) return;
  const int left = std::max(area.left(), std::min(outer.left(), area.right() + 1 - outer.width()));
  const int top = std::max(area.top(), std::min(outer.top(), area.bottom() + 1 - outer.height()));
  // The client rectangle is placed: before the window manager has framed the window, move() would place a frame
  // that is not known yet.
  window.setGeometry(QRect(QPoint(left + frame.left(), top + frame.top()), size));
}

void GiveRoomForTitle(QMessageBox& box) {
  // The title as a title bar draws it (a bold face a little larger than the window's), and about three buttons'
  // room beside it.
  QFont titleFont = box.font();
  titleFont.setBold(true);
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
  const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + 160;
  // A message box sizes itself from its layout; a spacer across the bottom row is the one width it keeps.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
  }
}

}  // namespace quillet::ui
