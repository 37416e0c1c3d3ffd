// The DVD subpicture run-length code: runs of pixels, coded rows, and the pixel-data block they fill.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "render/frame.h"

namespace quillet {

// Pixels coded per row: x = 0..718. The last column is never coded; the end-of-line code fills it with the
// background role.
constexpr int kCodedRowPixels = kFrameWidth - 1;

// A run of `length` (1..719) neighbouring pixels of one colour, with that colour's role code.
struct PixelRun {
  int length = 0;
  uint8_t role = 0;
  bool operator==(const PixelRun&) const = default;
};

// The pixel-data block of one subpicture with its field offsets (bytes from the block's start).
// The block starts with two zero bytes that no offset points at, then the top field (the band's even
// rows), then the bottom field (its odd rows).
struct PixelData {
  std::vector<uint8_t> block;
  int topFieldOffset = 0;     // always 2
  int bottomFieldOffset = 0;  // 2 + the top field's length
  bool operator==(const PixelData&) const = default;
};

// Appends one coded row to `out`: each run as a code of 4, 8, 12 or 16 bits holding 4 × length + role
// (runs over 255 pixels as several codes of the same role), a zero nibble when the nibble count is odd,
// then the end-of-line code 0x00 0x00, which fills the rest of the line with the background role.
// Throws std::invalid_argument when a run is empty or the runs cover more than 719 pixels.
void EncodeRow(std::span<const PixelRun> runs, std::vector<uint8_t>& out);

}  // namespace quillet
