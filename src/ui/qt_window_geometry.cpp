// The main window's placement and screen for the settings store, read from and handed to Qt.
#include "qt_window_geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace quillet::ui {

ScreenInfo QtWindowGeometry::Screen() const {
  const QScreen* screen = m_window.screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  const QRect geometry = screen->geometry();
  return {geometry.width(), geometry.height(), static_cast<int>(std::lround(screen->logicalDotsPerInch()))};
}

WindowPlacement QtWindowGeometry::Placement() const {
  WindowPlacement placement;
  placement.flags = m_flags;
  // The main window minimised means the whole program is; maximised cannot happen to a fixed-size window
  // but is reported as the system would.
  placement.showCmd = m_window.isMinimized() ? 2 : m_window.isMaximized() ? 3 : 1;
  placement.minPosition = m_minPosition;
  placement.maxPosition = m_maxPosition;
  // The normal rectangle is the outer frame (before the window manager has framed the window, the client area
  // at the window's position); a minimised window keeps the frame it had.
  const QRect frame = m_window.frameGeometry();
  placement.normalRect = {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
  return placement;
}

void QtWindowGeometry::SetPlacement(const WindowPlacement& placement) {
  m_flags = placement.flags;
  m_minPosition = placement.minPosition;
  m_maxPosition = placement.maxPosition;
  m_placed = true;
  m_window.move(placement.normalRect.left, placement.normalRect.top);
}

void QtWindowGeometry::SetWindowState(WindowState state) {
  Qt::WindowStates states = m_window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (state == WindowState::Minimized) states |= Qt::WindowMinimized;
  if (state == WindowState::Maximized) states |= Qt::WindowMaximized;
  m_window.setWindowState(states);
}

}  // namespace quillet::ui
