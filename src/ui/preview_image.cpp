// The main window's preview: a picture shown stretched to the control, its bottom-left colour transparent.
#include "preview_image.h"

#include <QPainter>
#include <cmath>

namespace quillet::ui {

QImage TransparentCornerImage(const Image24& picture) {
  if (picture.Empty()) return {};
  const int width = picture.Width();
  const int height = picture.Height();
  QImage image(width, height, QImage::Format_ARGB32);
  const uint8_t* corner = picture.Row(height - 1);
  const uint8_t keyB = corner[0], keyG = corner[1], keyR = corner[2];
  for (int y = 0; y < height; ++y) {
    const uint8_t* bgr = picture.Row(y);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x, bgr += 3) {
      const bool key = bgr[0] == keyB && bgr[1] == keyG && bgr[2] == keyR;
      out[x] = key ? 0u : qRgb(bgr[2], bgr[1], bgr[0]);
    }
  }
  return image;
}

bool IsWholeScale(qreal devicePixelRatio) { return std::abs(devicePixelRatio - std::round(devicePixelRatio)) < 1e-6; }

PreviewImage::PreviewImage(QWidget* parent) : QWidget(parent) {}

void PreviewImage::SetPicture(const Image24& picture) {
  m_picture = picture;
  m_converted = false;
  update();
}

const QImage& PreviewImage::Shown() {
  if (!m_converted) {
    m_image = TransparentCornerImage(m_picture);
    m_converted = true;
  }
  return m_image;
}

void PreviewImage::paintEvent(QPaintEvent*) {
  const QImage& image = Shown();
  if (image.isNull()) return;
  QPainter painter(this);
  // Stretched to the control, pixel for pixel when the sizes agree. At a whole scale (2) every picture pixel
  // becomes the same square of screen pixels; at a fractional one (1.5) nearest-neighbour steps would be uneven,
  // one and two pixels in turn, so the picture is smoothed instead.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, !IsWholeScale(devicePixelRatioF()));
  painter.drawImage(rect(), image);
}

}  // namespace quillet::ui
