// The main window's placement and screen for the settings store, read from and handed to Qt.
#pragma once

#include <QWidget>

#include "app/controller_form.h"

namespace quillet::ui {

/*
 * Qt knows the window's frame position, its size and whether it is minimised; it has no placement flags and no
 * minimised or maximised positions. Those are kept as they were restored and reported back unchanged, so a save
 * writes what was read. The window's size never changes: a restore only moves it.
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
