// The pictures the windows show, all drawn by code.
#include "pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <string_view>

namespace quillet::ui {
namespace {

// A 5 x 7 pixel font for the four labels of the colour-roles example. Drawn pixel by pixel so the picture
// keeps exactly its four colours whatever fonts are installed.
struct PixelGlyph {
  char letter;
  std::array<std::string_view, 7> rows;
};

constexpr std::array<PixelGlyph, 8> kPixelFont{{
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."}},
}};

void DrawPixelText(QImage& image, int x, int y, std::string_view text, QRgb colour) {
  for (char letter : text) {
    for (const PixelGlyph& glyph : kPixelFont) {
      if (glyph.letter != letter) continue;
      for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col) {
          if (glyph.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] == '#') {
            image.setPixel(x + col, y + row, colour);
          }
        }
      }
    }
    x += 6;
  }
}

void FillRect(QImage& image, int left, int top, int right, int bottom, QRgb colour) {
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) image.setPixel(x, y, colour);
  }
}

// The letter T grown by `grow` pixels on every side.
void FillT(QImage& image, int grow, QRgb colour) {
  FillRect(image, 7 - grow, 9 - grow, 36 + grow, 14 + grow, colour);   // the bar
  FillRect(image, 19 - grow, 9 - grow, 24 + grow, 60 + grow, colour);  // the stem
}

// A horizontal arrow pointing left, its tip at (tipX, y).
void ArrowLeft(QImage& image, int tipX, int fromX, int y, QRgb colour) {
  FillRect(image, tipX, y, fromX, y, colour);
  for (int d = 1; d <= 2; ++d) {
    image.setPixel(tipX + d, y - d, colour);
    image.setPixel(tipX + d, y + d, colour);
  }
}

void PaintQuill(QPainter& p, double size) {
  // A feather leaning to the right with its nib at the lower left.
  const double s = size / 32.0;
  QPainterPath feather;
  feather.moveTo(7 * s, 26 * s);
  feather.cubicTo(10 * s, 14 * s, 18 * s, 5 * s, 28 * s, 3 * s);
  feather.cubicTo(25 * s, 12 * s, 18 * s, 21 * s, 7 * s, 26 * s);
  p.setPen(QPen(QColor(40, 40, 60), 1.0 * s));
  p.setBrush(QColor(255, 252, 235));
  p.drawPath(feather);
  p.setPen(QPen(QColor(40, 40, 60), 1.2 * s, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(5 * s, 29 * s), QPointF(22 * s, 10 * s));
}

QPixmap IconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size / 32.0;
  // A DVD: a silvery disc with its centre hole.
  QRadialGradient disc(QPointF(14 * s, 16 * s), 15 * s);
  disc.setColorAt(0.0, QColor(230, 236, 250));
  disc.setColorAt(0.6, QColor(150, 170, 215));
  disc.setColorAt(1.0, QColor(70, 90, 160));
  p.setPen(QPen(QColor(40, 50, 100), 1.0 * s));
  p.setBrush(disc);
  p.drawEllipse(QPointF(14 * s, 17 * s), 13.5 * s, 13.5 * s);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(14 * s, 17 * s), 3 * s, 3 * s);
  PaintQuill(p, size);
  return pixmap;
}

}  // namespace

QImage ColorsPicture() {
  QImage image(70, 70, QImage::Format_RGB32);
  image.fill(kColorsGround);
  FillT(image, 5, kColorsOutline);
  FillT(image, 3, kColorsAntialias);
  FillT(image, 0, kColorsText);

  DrawPixelText(image, 48, 9, "TXT", kColorsText);
  DrawPixelText(image, 48, 22, "ANT", kColorsText);
  DrawPixelText(image, 48, 38, "OUT", kColorsText);
  DrawPixelText(image, 48, 56, "BG", kColorsText);

  ArrowLeft(image, 33, 45, 12, kColorsOutline);  // into the white of the bar
  ArrowLeft(image, 25, 45, 25, kColorsOutline);  // onto the grey inner edge of the stem
  ArrowLeft(image, 31, 45, 41, kColorsOutline);  // at the black outer edge of the stem
  ArrowLeft(image, 35, 45, 59, kColorsOutline);  // at the red ground
  return image;
}

QIcon WindowIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) icon.addPixmap(IconPixmap(size));
  return icon;
}

QPixmap SetDefaultValuesGlyph() {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor green(20, 120, 40);
  p.setPen(QPen(green, 2.6, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  // Most of a circle, open at the top right, and an arrowhead at its open end.
  p.drawArc(QRectF(4, 4, 16, 16), 60 * 16, 280 * 16);
  QPainterPath head;
  head.moveTo(20.5, 2.5);
  head.lineTo(20.5, 10.5);
  head.lineTo(12.5, 9.5);
  head.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(green);
  p.drawPath(head);
  return pixmap;
}

QPixmap ChangeImageGlyph() {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF frame(2.5, 4.5, 19, 15);
  QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
  sky.setColorAt(0, QColor(120, 170, 235));
  sky.setColorAt(1, QColor(200, 225, 250));
  p.setPen(QPen(QColor(60, 60, 70), 1.2));
  p.setBrush(sky);
  p.drawRect(frame);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 200, 40));
  p.drawEllipse(QPointF(16.5, 8.5), 2.2, 2.2);
  QPainterPath hills;
  hills.moveTo(3, 19);
  hills.lineTo(9, 11);
  hills.lineTo(13, 16);
  hills.lineTo(16, 13);
  hills.lineTo(21, 19);
  hills.closeSubpath();
  p.setBrush(QColor(50, 130, 60));
  p.drawPath(hills);
  return pixmap;
}

QPixmap LogoPicture() {
  QPixmap pixmap(81, 81);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.drawPixmap(QRect(4, 4, 73, 73), IconPixmap(73));
  return pixmap;
}

QPixmap DonatePicture() {
  QPixmap pixmap(65, 33);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient gold(0, 0, 0, 33);
  gold.setColorAt(0, QColor(255, 226, 120));
  gold.setColorAt(1, QColor(240, 170, 40));
  p.setPen(QPen(QColor(150, 100, 20), 1));
  p.setBrush(gold);
  p.drawRoundedRect(QRectF(0.5, 0.5, 64, 32), 8, 8);
  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(13);
  p.setFont(font);
  p.setPen(QColor(30, 40, 90));
  p.drawText(QRect(0, 0, 65, 33), Qt::AlignCenter, QStringLiteral("Donate"));
  return pixmap;
}

}  // namespace quillet::ui
