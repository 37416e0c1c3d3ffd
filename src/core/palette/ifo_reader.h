// Reads the subpicture colour table and the video standard from a DVD title set information file (.ifo).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "render/frame.h"

namespace quillet {

// What the palette commands take from an IFO. Entries are as stored: bits 23-16 Y, 15-8 Cr, 7-0 Cb.
struct IfoContents {
  std::array<uint32_t, 16> palette{};
  uint16_t videoAttributes = 0;
  bool operator==(const IfoContents&) const = default;
};

// Where the fields sit (all big-endian; a sector is 2048 bytes):
//   0xCC                      sector S of the program chain information table
//   S * 2048 + 12             byte offset P of the first program chain within that table
//   S * 2048 + P + 0xA4       16 colour table entries of 4 bytes
//   0x200                     the title set's video attribute word
constexpr uint64_t kIfoSectorBytes = 2048;
constexpr uint64_t kIfoPgcitSectorOffset = 0xCC;
constexpr uint64_t kIfoFirstPgcOffsetField = 12;
constexpr uint64_t kIfoPgcPaletteOffset = 0xA4;
constexpr uint64_t kIfoVideoAttributesOffset = 0x200;
// How the disc's menu file (VIDEO_TS.IFO) starts; a title set's file starts "DVDVIDEO-VTS".
constexpr std::string_view kIfoMenuIdentifier = "DVDVIDEO-VMG";

// Reads the whole result before returning, so a failure leaves nothing half-applied for the caller.
// Throws FileError naming the file when it cannot be opened or read; when it is the disc's menu file (saying
// that the title set's VTS_xx_0.IFO is needed); when the fixed fields lie (partly) past its end ("... is too
// short to be a DVD title set information file."); and when the table's sector or the program chain's offset
// points past its end (naming the field, the byte and the file's size). Beyond that the data is taken as it
// is: no other signature or consistency check.
IfoContents ReadIfoFile(const std::string& path);

// Bit 12 of the video attribute word: set means PAL, clear NTSC (0x5000 -> Pal, 0x4000 -> Ntsc).
VideoStandard DetectVideoStandard(uint16_t videoAttributes);

// Bits 11-10 of the video attribute word, the title's display aspect: 3 means 16:9 (0x0C00 set), any other
// value 4:3 (0 is 4:3; 1 and 2 are reserved).
DisplayAspect DetectDisplayAspect(uint16_t videoAttributes);

}  // namespace quillet
