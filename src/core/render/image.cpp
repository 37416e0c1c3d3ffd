// A 24-bit picture: three bytes per pixel in the order blue, green, red, row 0 at the top.
#include "render/image.h"

#include <cassert>
#include <cstring>

namespace quillet {

Image24::Image24(int width, int height, Rgb fill) : m_width(width), m_height(height) {
  assert(width >= 0 && height >= 0);
  // One row is made pixel by pixel and copied into the others, and no byte is written twice: a frame is made
  // for every subtitle entry.
  std::vector<uint8_t> row(RowBytes());
  for (std::size_t i = 0; i + 2 < row.size(); i += 3) {
    row[i] = fill.b;
    row[i + 1] = fill.g;
    row[i + 2] = fill.r;
  }
  m_bgr.reserve(row.size() * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) m_bgr.insert(m_bgr.end(), row.begin(), row.end());
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
  if (Empty()) return;
  uint8_t* first = Row(0);
  for (std::size_t i = 0; i + 2 < RowBytes(); i += 3) {
    first[i] = colour.b;
    first[i + 1] = colour.g;
    first[i + 2] = colour.r;
  }
  for (int y = 1; y < m_height; ++y) std::memcpy(Row(y), first, RowBytes());
}

}  // namespace quillet
