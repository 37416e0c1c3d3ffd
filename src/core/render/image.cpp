// A 24-bit picture: three bytes per pixel in the order blue, green, red, row 0 at the top.
#include "render/image.h"

#include <cassert>

namespace quillet {

Image24::Image24(int width, int height, Rgb fill)
    : m_width(width), m_height(height), m_bgr(static_cast<std::size_t>(width) * height * 3) {
  assert(width >= 0 && height >= 0);
  Fill(fill);
}

Rgb Image24::Pixel(int x, int y) const {
  assert(x >= 0 && x < m_width && y >= 0 && y < m_height);
  const uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
  return Rgb{p[2], p[1], p[0]};
}

void Image24::SetPixel(int x, int y, Rgb colour) {
  assert(x >= 0 && x < m_width && y >= 0 && y < m_height);
  uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
  p[0] = colour.b;
  p[1] = colour.g;
  p[2] = colour.r;
}

void Image24::Fill(Rgb colour) {
  for (std::size_t i = 0; i + 2 < m_bgr.size(); i += 3) {
    m_bgr[i] = colour.b;
    m_bgr[i + 1] = colour.g;
    m_bgr[i + 2] = colour.r;
  }
}

}  // namespace quillet
