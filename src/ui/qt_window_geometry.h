// The main window's placement and screen for the settings store, read from and handed to Qt.
#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QWidget>

#include "app/controller_form.h"

namespace quillet::ui {

/*
 * Where a window with client rectangle `client` and frame `frame` (the window manager's borders around it) goes
 * so that a person sees all of it: where it is, when its frame lies wholly on one of the screens' available
 * areas; moved wholly into the area it overlaps most, when it is partly off and fits there; centred on the first
 * area, when it is off every screen. A frame larger than the area stays where its title bar can be grabbed, or
 * else goes to the area's top-left corner. Returns the client's top-left corner.
 */
QPoint ReachableClientPosition(const QRect& client, const QMargins& frame, const QList<QRect>& screenAreas);

/*
 * Qt knows the window's position, its size and whether it is minimised; it has no placement flags and no
 * minimised or maximised positions. Those are kept as they were restored and reported back unchanged, so a save
 * writes what was read. The window's size never changes: a restore only moves it.
 *
 * The normal rectangle saved and restored is the client area, the part of the window that is the program's
 * own: a window manager places it where it was asked to, whatever frame it then draws around it, whereas the
 * frame is not known before the window has been shown. Saving one and restoring the other made the window
 * move by its title bar's height at every start. Positions and the screen's size are device pixels, whatever
 * scale Qt draws at.
 */
class QtWindowGeometry : public WindowGeometry {
 public:
  explicit QtWindowGeometry(QWidget& window) : m_window(window) {}

  ScreenInfo Screen() const override;
  WindowPlacement Placement() const override;
  void SetPlacement(const WindowPlacement& placement) override;
  void SetWindowState(WindowState state) override;

  // True once a stored placement was applied (the window is then no longer centred at its first showing).
  bool Placed() const { return m_placed; }

 private:
  QWidget& m_window;
  int m_flags = 0;
  ScreenPoint m_minPosition{-1, -1};
  ScreenPoint m_maxPosition{-1, -1};
  bool m_placed = false;
};

}  // namespace quillet::ui
