// The main window's preview: a picture shown stretched to the control, its bottom-left colour transparent.
#pragma once

#include <QImage>
#include <QWidget>

#include "render/image.h"

namespace quillet::ui {

// The picture as the preview shows it: every pixel of the bottom-left pixel's colour fully transparent, all
// others opaque. An empty picture gives a null image.
QImage TransparentCornerImage(const Image24& picture);

// Whether a screen of this device pixel ratio draws each picture pixel as a whole square of screen pixels.
bool IsWholeScale(qreal devicePixelRatio);

class PreviewImage : public QWidget {
  Q_OBJECT
 public:
  explicit PreviewImage(QWidget* parent = nullptr);

  // Takes a new picture; it is converted and painted at the next repaint (never synchronously), so a burst of
  // pictures costs one conversion.
  void SetPicture(const Image24& picture);
  // The picture as painted (converted now if a new one is waiting).
  const QImage& Shown();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Image24 m_picture;
  bool m_converted = true;
  QImage m_image;
};

}  // namespace quillet::ui
