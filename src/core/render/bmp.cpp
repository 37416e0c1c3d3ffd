// Reading BMP pictures (the user's preview backgrounds) into 24-bit images.
#include "render/bmp.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace quillet {

namespace {

// Little-endian reads that report failure instead of reading past the end.
struct Reader {
  const std::string& bytes;
  bool ok = true;

  uint32_t U(std::size_t at, int size) {
    if (at > bytes.size() || static_cast<std::size_t>(size) > bytes.size() - at) {
      ok = false;
      return 0;
    }
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
    return v;
  }
};

constexpr int kMaxSide = 16384;

}  // namespace

std::optional<Image24> DecodeBmp(const std::string& bytes, std::string* problem) {
  if (problem != nullptr) *problem = "is not a BMP picture this program can read";
  Reader r{bytes};
  if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const uint32_t dataOffset = r.U(10, 4);
  const uint32_t headerSize = r.U(14, 4);
  int32_t width = 0;
  int32_t height = 0;
  uint32_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  if (headerSize == 12) {  // OS/2 core header
    width = static_cast<int16_t>(r.U(18, 2));
    height = static_cast<int16_t>(r.U(20, 2));
    bitCount = r.U(24, 2);
  } else if (headerSize >= 40) {
    width = static_cast<int32_t>(r.U(18, 4));
    height = static_cast<int32_t>(r.U(22, 4));
    bitCount = r.U(28, 2);
    compression = r.U(30, 4);
    coloursUsed = r.U(46, 4);
  } else {
    return std::nullopt;
  }
  if (!r.ok) return std::nullopt;
  const bool topDown = height < 0;
  const int64_t absHeight = topDown ? -static_cast<int64_t>(height) : height;
  if (width <= 0 || absHeight <= 0 || width > kMaxSide || absHeight > kMaxSide) return std::nullopt;
  if (int64_t{width} * absHeight > kMaxBmpPixels) {
    if (problem != nullptr) {
      *problem = "would be " + std::to_string(width) + " x " + std::to_string(absHeight) +
                 " pixels, more than the 64 megapixels a picture may have";
    }
    return std::nullopt;
  }
  // BI_RGB, or BI_BITFIELDS with 32 bits (treated as the usual BGRX layout).
  if (!(compression == 0 || (compression == 3 && bitCount == 32))) return std::nullopt;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return std::nullopt;

  std::array<Rgb, 256> palette{};
  if (bitCount <= 8) {
    const std::size_t entrySize = headerSize == 12 ? 3 : 4;
    const std::size_t maxColours = std::size_t{1} << bitCount;
    const std::size_t count = coloursUsed == 0 || coloursUsed > maxColours ? maxColours : coloursUsed;
    const std::size_t tableAt = 14 + static_cast<std::size_t>(headerSize);
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t at = tableAt + i * entrySize;
      uint32_t bgr = r.U(at, 3);
      if (!r.ok) return std::nullopt;
      palette[i] = Rgb{static_cast<uint8_t>(bgr >> 16), static_cast<uint8_t>(bgr >> 8), static_cast<uint8_t>(bgr)};
    }
  }

  const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
  const int h = static_cast<int>(absHeight);
  if (dataOffset > bytes.size() || stride * static_cast<std::size_t>(h) > bytes.size() - dataOffset) {
    return std::nullopt;
  }
  Image24 image(width, h);
  for (int row = 0; row < h; ++row) {
    const int y = topDown ? row : h - 1 - row;
    const auto* src =
        reinterpret_cast<const uint8_t*>(bytes.data()) + dataOffset + stride * static_cast<std::size_t>(row);
    uint8_t* dst = image.Row(y);
    for (int x = 0; x < width; ++x) {
      Rgb c;
      switch (bitCount) {
        case 24:
        case 32: {
          const uint8_t* p = src + static_cast<std::size_t>(x) * (bitCount / 8);
          c = Rgb{p[2], p[1], p[0]};
          break;
        }
        case 8:
          c = palette[src[x]];
          break;
        case 4:
          c = palette[(src[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F];
          break;
        default:
          c = palette[(src[x / 8] >> (7 - x % 8)) & 1];
          break;
      }
      dst[x * 3] = c.b;
      dst[x * 3 + 1] = c.g;
      dst[x * 3 + 2] = c.r;
    }
  }
  if (problem != nullptr) problem->clear();
  return image;
}


Image24 ScaleNearest(const Image24& image, int width, int height) {
  if (image.Width() == width && image.Height() == height) return image;
  Image24 out(width, height);
  if (image.Empty()) return out;
  for (int y = 0; y < height; ++y) {
    const int sy = static_cast<int>(static_cast<int64_t>(y) * image.Height() / height);
    const uint8_t* src = image.Row(sy);
    uint8_t* dst = out.Row(y);
    for (int x = 0; x < width; ++x) {
      const int sx = static_cast<int>(static_cast<int64_t>(x) * image.Width() / width);
      dst[x * 3] = src[sx * 3];
      dst[x * 3 + 1] = src[sx * 3 + 1];
      dst[x * 3 + 2] = src[sx * 3 + 2];
    }
  }
  return out;
}

}  // namespace quillet
