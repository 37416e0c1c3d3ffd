// What the render tests share: one font engine for the whole executable, and small picture helpers.
#include "render_test_support.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace quillet::test {
namespace {

uint32_t Crc32(const uint8_t* data, std::size_t size, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBigEndian(out, Crc32(body.data(), body.size()));
}

}  // namespace

FontEngine& SharedEngine() {
  static FontEngine engine(FontOptions{"UTF-8"});
  return engine;
}

FontDesc Font(int sizePt, StyleSet style, const std::string& face, uint8_t charset) {
  FontDesc font;
  font.faceName = face;
  font.sizePt = sizePt;
  font.style = style;
  font.charset = charset;
  return font;
}

int CountPixels(const Image24& image, Rgb colour) {
  int count = 0;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) count += image.Pixel(x, y) == colour ? 1 : 0;
  }
  return count;
}

void WritePng(const std::string& path, const Image24& image) {
  // Raw scanlines: filter byte 0, then red, green, blue per pixel.
  std::vector<uint8_t> raw;
  for (int y = 0; y < image.Height(); ++y) {
    raw.push_back(0);
    for (int x = 0; x < image.Width(); ++x) {
      const Rgb p = image.Pixel(x, y);
      raw.insert(raw.end(), {p.r, p.g, p.b});
    }
  }
  // zlib stream of stored blocks.
  std::vector<uint8_t> z{0x78, 0x01};
  for (std::size_t pos = 0; pos < raw.size() || pos == 0;) {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - pos);
    const bool last = pos + length == raw.size();
    z.push_back(last ? 1 : 0);
    z.insert(z.end(), {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(~length),
                       static_cast<uint8_t>(~length >> 8)});
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + length);
    pos += length;
    if (last) break;
  }
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(z, (b << 16) | a);

  std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBigEndian(header, static_cast<uint32_t>(image.Width()));
  PutBigEndian(header, static_cast<uint32_t>(image.Height()));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", {});
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace quillet::test
