// What the three windows share: the window font and centring on the screen.
#pragma once

#include <QFont>
#include <QWidget>

namespace quillet::ui {

// 8-point "MS Sans Serif", or the nearest sans-serif face installed.
QFont WindowFont();

// Moves a window so its frame is centred on the available area of its screen.
void CentreOnScreen(QWidget& window);

}  // namespace quillet::ui
