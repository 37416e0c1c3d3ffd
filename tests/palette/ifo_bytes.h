// Builds the bytes of a small title set information file for the palette tests.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quillet::test {

struct IfoLayout {
  uint32_t pgcitSector = 3;         // where the program chain table starts, in 2048-byte sectors
  uint32_t firstPgcOffset = 0x1C4;  // the first program chain, from the start of that table
};

// Writes `value` big-endian into `bytes` at `offset` (`count` bytes), growing it when needed.
inline void PutBigEndian(std::string& bytes, std::size_t offset, uint32_t value, int count = 4) {
  if (bytes.size() < offset + count) bytes.resize(offset + count, '\xA5');
  for (int i = 0; i < count; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * (count - 1 - i))) & 0xFF);
}

// Every byte the reader should not look at is 0xA5, so a read from a wrong place shows up as a wrong value.
// The file ends right after the last colour entry.
inline std::string BuildIfoBytes(const std::array<uint32_t, 16>& palette, uint16_t videoAttributes,
                                 IfoLayout layout = {}) {
  std::string bytes(0x400, '\xA5');
  bytes.replace(0, 12, "DVDVIDEO-VTS");
  PutBigEndian(bytes, 0xCC, layout.pgcitSector);
  PutBigEndian(bytes, 0x200, videoAttributes, 2);
  const std::size_t table = std::size_t{layout.pgcitSector} * 2048;
  PutBigEndian(bytes, table + 12, layout.firstPgcOffset);
  for (std::size_t n = 0; n < 16; ++n) PutBigEndian(bytes, table + layout.firstPgcOffset + 0xA4 + 4 * n, palette[n]);
  return bytes;
}

// A grey of luma y (Cr = Cb = 128).
constexpr uint32_t Grey(uint32_t y) { return (y << 16) | 0x8080; }

}  // namespace quillet::test
