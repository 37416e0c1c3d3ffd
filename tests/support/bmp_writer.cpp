// Writing a picture as a 24-bit BMP, to look at rendered frames and to make test pictures.
#include "bmp_writer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace quillet {

std::string EncodeBmp(const Image24& image) {
  const std::size_t stride = (image.RowBytes() + 3) & ~std::size_t{3};
  const std::size_t dataSize = stride * static_cast<std::size_t>(image.Height());
  std::string out(54 + dataSize, '\0');
  auto put = [&out](std::size_t at, uint32_t v, int size) {
    for (int i = 0; i < size; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  out[0] = 'B';
  out[1] = 'M';
  put(2, static_cast<uint32_t>(out.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<uint32_t>(image.Width()), 4);
  put(22, static_cast<uint32_t>(image.Height()), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, static_cast<uint32_t>(dataSize), 4);
  for (int y = 0; y < image.Height(); ++y) {
    const uint8_t* src = image.Row(image.Height() - 1 - y);
    std::copy(src, src + image.RowBytes(), out.begin() + 54 + static_cast<std::ptrdiff_t>(stride) * y);
  }
  return out;
}

}  // namespace quillet
