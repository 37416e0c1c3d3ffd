// Reading BMP pictures (the user's preview backgrounds) into 24-bit images.
#include "render/bmp.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
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

struct BmpHeader {
  uint32_t dataOffset = 0;
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t height = 0;  // negative: rows stored from the top
  uint32_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
};

// The file header and the OS/2 core or Windows information header; nothing for any other header or a short file.
std::optional<BmpHeader> ReadHeader(Reader& r) {
  BmpHeader h;
  h.dataOffset = r.U(10, 4);
  h.headerSize = r.U(14, 4);
  if (h.headerSize == 12) {  // OS/2 core header
    h.width = static_cast<int16_t>(r.U(18, 2));
    h.height = static_cast<int16_t>(r.U(20, 2));
    h.bitCount = r.U(24, 2);
  } else if (h.headerSize >= 40) {
    h.width = static_cast<int32_t>(r.U(18, 4));
    h.height = static_cast<int32_t>(r.U(22, 4));
    h.bitCount = r.U(28, 2);
    h.compression = r.U(30, 4);
    h.coloursUsed = r.U(46, 4);
  } else {
    return std::nullopt;
  }
  if (!r.ok) return std::nullopt;
  return h;
}

// The colour table of a picture of 8 bits or fewer a pixel; false when it runs past the file's end.
bool ReadPalette(Reader& r, const BmpHeader& h, std::array<Rgb, 256>& palette) {
  const std::size_t entrySize = h.headerSize == 12 ? 3 : 4;
  const std::size_t maxColours = std::size_t{1} << h.bitCount;
  const std::size_t count = h.coloursUsed == 0 || h.coloursUsed > maxColours ? maxColours : h.coloursUsed;
  const std::size_t tableAt = 14 + static_cast<std::size_t>(h.headerSize);
  for (std::size_t i = 0; i < count; ++i) {
    const uint32_t bgr = r.U(tableAt + i * entrySize, 3);
    if (!r.ok) return false;
    palette[i] = Rgb{static_cast<uint8_t>(bgr >> 16), static_cast<uint8_t>(bgr >> 8), static_cast<uint8_t>(bgr)};
  }
  return true;
}

// Pixel x of a stored row.
Rgb PixelAt(const uint8_t* row, int x, uint32_t bitCount, const std::array<Rgb, 256>& palette) {
  switch (bitCount) {
    case 24:
    case 32: {
      const uint8_t* p = row + static_cast<std::size_t>(x) * (bitCount / 8);
      return Rgb{p[2], p[1], p[0]};
    }
    case 8:
      return palette[row[x]];
    case 4:
      return palette[(row[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F];
    default:
      return palette[(row[x / 8] >> (7 - x % 8)) & 1];
  }
}

}  // namespace

std::optional<Image24> DecodeBmp(const std::string& bytes, std::string* problem) {
  if (problem != nullptr) *problem = "is not a BMP picture this program can read";
  Reader r{bytes};
  if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const std::optional<BmpHeader> header = ReadHeader(r);
  if (!header) return std::nullopt;
  const int32_t width = header->width;
  const uint32_t bitCount = header->bitCount;
  const bool topDown = header->height < 0;
  const int64_t absHeight = topDown ? -static_cast<int64_t>(header->height) : header->height;
  if (width <= 0 || absHeight <= 0 || width > kMaxSide || absHeight > kMaxSide) return std::nullopt;
  if (int64_t{width} * absHeight > kMaxBmpPixels) {
    if (problem != nullptr) {
      *problem = "would be " + std::to_string(width) + " x " + std::to_string(absHeight) +
                 " pixels, more than the 64 megapixels a picture may have";
    }
    return std::nullopt;
  }
  // BI_RGB, or BI_BITFIELDS with 32 bits (treated as the usual BGRX layout).
  if (!(header->compression == 0 || (header->compression == 3 && bitCount == 32))) return std::nullopt;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return std::nullopt;
  std::array<Rgb, 256> palette{};
  if (bitCount <= 8 && !ReadPalette(r, *header, palette)) return std::nullopt;

  const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
  const int h = static_cast<int>(absHeight);
  const uint32_t dataOffset = header->dataOffset;
  if (dataOffset > bytes.size() || stride * static_cast<std::size_t>(h) > bytes.size() - dataOffset) {
    return std::nullopt;
  }
  Image24 image(width, h);
  for (int row = 0; row < h; ++row) {
    const auto* src =
        reinterpret_cast<const uint8_t*>(bytes.data()) + dataOffset + stride * static_cast<std::size_t>(row);
    uint8_t* dst = image.Row(topDown ? row : h - 1 - row);
    for (int x = 0; x < width; ++x) {
      const Rgb c = PixelAt(src, x, bitCount, palette);
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
