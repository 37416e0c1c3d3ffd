// What the three windows share: the window font, centring on the screen, and the message boxes' width.
#pragma once

#include <QFont>
#include <QMessageBox>
#include <QWidget>

class QScrollArea;

namespace quillet::ui {

// 8-point "MS Sans Serif", or the nearest sans-serif face installed.
QFont WindowFont();

// Moves a window so its frame is centred on the available area of its screen; a frame larger than the area
// starts at its top-left corner, so the title bar is on the screen.
void CentreOnScreen(QWidget& window);

// The window manager's frame around a window: the real one once it has been framed, before that a title bar of
// the style's height with thin borders.
QMargins FrameMargins(const QWidget& window);

// The largest client size up to `wanted` whose frame fits into `area`.
QSize FittedClientSize(QSize wanted, const QRect& area, const QMargins& frame);

// Puts `content`, the window's controls at their fixed places and `content`'s fixed size, into a scroll area that
// fills `window`: where the window is smaller than its content, scroll bars reach the rest. Returns the area.
QScrollArea* ScrollingContent(QWidget& window, QWidget* content);

// Gives a window of fixed size `wanted` that size, or less where the available area of its screen (`area`, or the
// screen's) is smaller, and moves it wholly onto that area when its frame is not: its title bar is never off the
// screen, and its scroll area reaches what does not fit.
void FitOnScreen(QWidget& window, QSize wanted);
void FitOnScreen(QWidget& window, QSize wanted, const QRect& area);

// Widens a message box with a short text ("Operation Aborted") so that a window manager has room for its title
// beside the title bar's buttons, instead of shortening it to "Q…t".
void GiveRoomForTitle(QMessageBox& box);

}  // namespace quillet::ui
