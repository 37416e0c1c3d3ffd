// The main window's placement and screen for the settings store, read from and handed to Qt.
#include "qt_window_geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace quillet::ui {

QPoint ReachableClientPosition(const QRect& client, const QMargins& frame, const QList<QRect>& screenAreas) {
  if (screenAreas.isEmpty()) return client.topLeft();
  const QRect outer = client.marginsAdded(frame);
  const QRect* best = nullptr;
  long long bestOverlap = 0;
  for (const QRect& area : screenAreas) {
    if (area.contains(outer)) return client.topLeft();
    const QRect overlap = area.intersected(outer);
    const long long overlapArea = static_cast<long long>(overlap.width()) * overlap.height();
    if (overlapArea > bestOverlap) {
      bestOverlap = overlapArea;
      best = &area;
    }
  }
  const bool fits = best && outer.width() <= best->width() && outer.height() <= best->height();
  if (!fits) {
    // Larger than the screen: it stays where its title bar can be grabbed, the top row and enough of its width on
    // an area.
    const QRect titleRow(outer.left(), outer.top(), outer.width(), 1);
    const int grabWidth = std::min(outer.width(), 100);
    for (const QRect& area : screenAreas) {
      if (area.intersected(titleRow).width() >= grabWidth) return client.topLeft();
    }
  }
  QPoint topLeft;
  if (best) {
    // Wholly inside the area it overlaps most; a frame larger than the area goes to its top-left corner.
    topLeft.setX(std::max(best->left(), std::min(outer.left(), best->right() + 1 - outer.width())));
    topLeft.setY(std::max(best->top(), std::min(outer.top(), best->bottom() + 1 - outer.height())));
  } else {
    const QRect& area = screenAreas.front();
    topLeft.setX(area.left() + std::max(0, (area.width() - outer.width()) / 2));
    topLeft.setY(area.top() + std::max(0, (area.height() - outer.height()) / 2));
  }
  return topLeft + QPoint(frame.left(), frame.top());
}

namespace {

// Device pixels per Qt pixel on the window's screen (1.5 at a scale of 150 %). The settings file holds device
// pixels, so a place saved at one scale is the same place on the screen at another.
qreal DeviceRatio(const QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  return screen ? screen->devicePixelRatio() : 1.0;
}

int ToDevice(int qtPixels, qreal ratio) { return static_cast<int>(std::lround(qtPixels * ratio)); }
int FromDevice(int devicePixels, qreal ratio) { return static_cast<int>(std::lround(devicePixels / ratio)); }

}  // namespace

ScreenInfo QtWindowGeometry::Screen() const {
  const QScreen* screen = m_window.screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  const QRect geometry = screen->geometry();
  const qreal ratio = screen->devicePixelRatio();
  return {ToDevice(geometry.width(), ratio), ToDevice(geometry.height(), ratio),
          static_cast<int>(std::lround(screen->logicalDotsPerInch()))};
}

WindowPlacement QtWindowGeometry::Placement() const {
  WindowPlacement placement;
  placement.flags = m_flags;
  // The main window minimised means the whole program is; maximised cannot happen to a fixed-size window
  // but is reported as the system would.
  placement.showCmd = m_window.isMinimized() ? 2 : m_window.isMaximized() ? 3 : 1;
  placement.minPosition = m_minPosition;
  placement.maxPosition = m_maxPosition;
  // A minimised window keeps the client rectangle it had.
  const QRect client = m_window.geometry();
  const qreal ratio = DeviceRatio(m_window);
  placement.normalRect = {ToDevice(client.left(), ratio), ToDevice(client.top(), ratio),
                          ToDevice(client.left() + client.width(), ratio),
                          ToDevice(client.top() + client.height(), ratio)};
  return placement;
}

void QtWindowGeometry::SetPlacement(const WindowPlacement& placement) {
  m_flags = placement.flags;
  m_minPosition = placement.minPosition;
  m_maxPosition = placement.maxPosition;
  m_placed = true;

  const qreal ratio = DeviceRatio(m_window);
  const QRect client(FromDevice(placement.normalRect.left, ratio), FromDevice(placement.normalRect.top, ratio),
                     m_window.width(), m_window.height());
  // Before the window manager has framed the window its frame is unknown: a title bar is assumed above it.
  QMargins frame(m_window.geometry().left() - m_window.frameGeometry().left(),
                 m_window.geometry().top() - m_window.frameGeometry().top(),
                 m_window.frameGeometry().right() - m_window.geometry().right(),
                 m_window.frameGeometry().bottom() - m_window.geometry().bottom());
  if (frame.isNull()) frame.setTop(m_window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &m_window));
  QList<QRect> areas;
  if (const QScreen* current = m_window.screen()) areas << current->availableGeometry();
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (!areas.contains(screen->availableGeometry())) areas << screen->availableGeometry();
  }
  // The client rectangle is placed, not the frame: move() would place the frame, which is not known yet.
  m_window.setGeometry(QRect(ReachableClientPosition(client, frame, areas), m_window.size()));
}

void QtWindowGeometry::SetWindowState(WindowState state) {
  Qt::WindowStates states = m_window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (state == WindowState::Minimized) states |= Qt::WindowMinimized;
  if (state == WindowState::Maximized) states |= Qt::WindowMaximized;
  m_window.setWindowState(states);
}

}  // namespace quillet::ui
