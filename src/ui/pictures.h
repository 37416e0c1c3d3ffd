// The pictures the windows show, all drawn by code: the window icon, the two picture-button glyphs, the
// colour-roles example, the About window's logo and its support button.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace quillet::ui {

// Colours of the colour-roles example.
inline constexpr QRgb kColorsGround = 0xFFC60000;     // dark red (198, 0, 0): background role
inline constexpr QRgb kColorsText = 0xFFFFFFFF;       // white: text role
inline constexpr QRgb kColorsAntialias = 0xFF848484;  // grey (132, 132, 132): antialias role
inline constexpr QRgb kColorsOutline = 0xFF000000;    // black: outline role

// 70 x 70, exactly four colours: a large T (white, a grey inner edge, a black outer edge) on dark red, with the
// white labels TXT, ANT, OUT and BG on its right, each with a black arrow at the part drawn in that role.
QImage ColorsPicture();

// A disc with a quill, at 16, 24, 32 and 48 pixels.
QIcon WindowIcon();

// 24 x 24 glyphs: a circular arrow (back to the default values) and a framed landscape (change the pictures).
QPixmap SetDefaultValuesGlyph();
QPixmap ChangeImageGlyph();

// 81 x 81 with a transparent ground: the program's logo.
QPixmap LogoPicture();
// 65 x 33: the "Donate" button picture.
QPixmap DonatePicture();

}  // namespace quillet::ui
