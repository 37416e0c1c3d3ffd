// Test-only: decodes SUP packets with ffmpeg's DVD subtitle decoder, an implementation independent of ours.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::test {

// One SUP packet split into its presentation time and its subpicture unit.
struct SupPacket {
  uint32_t pts90k = 0;
  std::vector<uint8_t> unit;
};

// Splits a SUP file's bytes into packets, checking the "SP" marks and that each unit's size field fits.
// Throws std::runtime_error on a malformed file.
std::vector<SupPacket> SplitSupFile(const std::string& bytes);

// What the decoder shows for one unit. ffmpeg crops the picture to the smallest rectangle that holds every
// pixel not fully transparent, so a unit whose pixels are all background shows nothing (hasPicture false).
struct DecodedSubpicture {
  bool hasPicture = false;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width × height colour indexes (the 2-bit pixel values), row by row
  uint32_t palette[4] = {};     // ARGB of each colour index as the decoder made it
  uint32_t startDisplayMs = 0;  // the decoder counts display delays in 1024/90000 s ticks
  uint32_t endDisplayMs = 0;
};

// True when the test support was built with libavcodec.
bool DvdSubDecoderAvailable();

// Decodes one subpicture unit (the bytes after the 10-byte packet header). `idxHeader`, when given, is handed
// to the decoder as a VobSub .idx header ("palette: rrggbb, …" lines), so the colours come from that palette.
// Throws std::runtime_error when the decoder rejects the unit.
DecodedSubpicture DecodeDvdSubpicture(std::span<const uint8_t> unit, int64_t pts90k = 0,
                                      std::string_view idxHeader = {});

}  // namespace quillet::test
