// A 24-bit picture: three bytes per pixel in the order blue, green, red, row 0 at the top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillet {

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

class Image24 {
 public:
  Image24() = default;
  Image24(int width, int height, Rgb fill = {});

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  bool Empty() const { return m_width == 0 || m_height == 0; }

  // Row y as width * 3 bytes (blue, green, red per pixel). y must lie in 0..Height()-1.
  uint8_t* Row(int y) { return m_bgr.data() + static_cast<std::size_t>(y) * RowBytes(); }
  const uint8_t* Row(int y) const { return m_bgr.data() + static_cast<std::size_t>(y) * RowBytes(); }
  std::size_t RowBytes() const { return static_cast<std::size_t>(m_width) * 3; }

  Rgb Pixel(int x, int y) const;
  void SetPixel(int x, int y, Rgb colour);
  void Fill(Rgb colour);

  const std::vector<uint8_t>& Bytes() const { return m_bgr; }
  bool operator==(const Image24&) const = default;

 private:
  int m_width = 0;
  int m_height = 0;
  std::vector<uint8_t> m_bgr;
};

}  // namespace quillet
