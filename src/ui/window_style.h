// What the three windows share: the window font, centring on the screen, and the message boxes' width.
#pragma once

#include <QFont>
#include <QMessageBox>
#include <QWidget>

namespace quillet::ui {

// 8-point "MS Sans Serif", or the nearest sans-serif face installed.
QFont WindowFont();

// Moves a window so its frame is centred on the available area of its screen.
void CentreOnScreen(QWidget& window);

// Widens a message box with a short text ("Operation Aborted") so that a window manager has room for its title
// beside the title bar's buttons, instead of shortening it to "Q…t".
void GiveRoomForTitle(QMessageBox& box);

}  // namespace quillet::ui
