// Coding an entry's band straight from the passes of its lines, without painting a frame.
#include "sup/mask_band_coder.h"

#include <array>
#include <bit>
#include <string>

#include "base/errors.h"
#include "sup/run_length_coding.h"

namespace quillet {
namespace {

// One frame row as bits, bit i of word k for column 64k + i. Paint reaching past the right edge may set bits
// beyond column 719; the coder masks them off.
constexpr int kRowWords = (kFrameWidth + 63) / 64;
using RowBits = std::array<uint64_t, kRowWords>;

// ORs a mask row into frame row bits, the mask's bit i landing on column offset + i; bits that land outside the
// row's words are dropped.
void PlaceRow(const uint64_t* source, int sourceWords, int offset, RowBits& row) {
  if (offset >= 0) {
    const int wordShift = offset >> 6;
    const int bitShift = offset & 63;
    for (int k = 0; k < sourceWords && k + wordShift < kRowWords; ++k) {
      row[k + wordShift] |= source[k] << bitShift;
      if (bitShift != 0 && k + wordShift + 1 < kRowWords) row[k + wordShift + 1] |= source[k] >> (64 - bitShift);
    }
  } else {
    const int wordShift = -offset >> 6;
    const int bitShift = -offset & 63;
    for (int k = 0; k < kRowWords && k + wordShift < sourceWords; ++k) {
      uint64_t bits = source[k + wordShift] >> bitShift;
      if (bitShift != 0 && k + wordShift + 1 < sourceWords) bits |= source[k + wordShift + 1] << (64 - bitShift);
      row[k] |= bits;
    }
  }
}

// The paint of every column of frame row y as two bit planes, paint = 2 × high + low. Each line paints its
// outline, ring and ink in turn, so a column ends with the ink's paint where the ink is, else the ring's where
// the ring is, else the outline's; line 2 paints over line 1 wherever it paints at all.
void PaintRow(const EntryPasses& passes, int y, RowBits& high, RowBits& low) {
  high.fill(0);
  low.fill(0);
  for (const LinePasses& line : passes.lines) {
    if (line.ink.Empty()) continue;
    const int maskRow = y - (line.cellY + line.ink.top);
    if (maskRow < 0 || maskRow >= line.ink.height) continue;
    const int offset = line.cellX + line.ink.left;
    const int words = line.ink.wordsPerRow;
    RowBits outline{}, ring{}, ink{};
    PlaceRow(line.outline.Row(maskRow), words, offset, outline);
    PlaceRow(line.ring.Row(maskRow), words, offset, ring);
    PlaceRow(line.ink.Row(maskRow), words, offset, ink);
    for (int k = 0; k < kRowWords; ++k) {
      const uint64_t painted = outline[k] | ring[k] | ink[k];
      high[k] = (high[k] & ~painted) | ring[k] | ink[k];
      low[k] = (low[k] & ~painted) | ink[k] | (outline[k] & ~ring[k]);
    }
  }
}

// The columns whose paint p has bit `bit` set in table[p].
inline uint64_t Lookup(const std::array<uint8_t, 4>& table, unsigned bit, uint64_t high, uint64_t low) {
  const uint64_t is[4] = {~high & ~low, ~high & low, high & ~low, high & low};
  uint64_t out = 0;
  for (unsigned p = 0; p < 4; ++p) out |= ((table[p] >> bit) & 1) != 0 ? is[p] : 0;
  return out;
}

inline unsigned PaintAt(const RowBits& high, const RowBits& low, int x) {
  return static_cast<unsigned>(((high[x >> 6] >> (x & 63)) & 1) << 1 | ((low[x >> 6] >> (x & 63)) & 1));
}

/* A run starts at column 0 and wherever a column's colour differs from its left neighbour's, that is where the
   colour-class planes differ from themselves shifted by one column; each run gets the role of its first column's
   paint. Columns 0..718 are coded, as the scan of a frame row does. Returns the number of runs. */
int RowRuns(const RowBits& high, const RowBits& low, const PaintCodes& codes, PixelRun* runs) {
  int count = 0;
  int start = 0;
  uint64_t carryHigh = 0, carryLow = 0;
  for (int k = 0; k < kRowWords; ++k) {
    const uint64_t colourHigh = Lookup(codes.colour, 1, high[k], low[k]);
    const uint64_t colourLow = Lookup(codes.colour, 0, high[k], low[k]);
    uint64_t starts = (colourHigh ^ (colourHigh << 1 | carryHigh)) | (colourLow ^ (colourLow << 1 | carryLow));
    carryHigh = colourHigh >> 63;
    carryLow = colourLow >> 63;
    if (k == 0) starts &= ~uint64_t{1};  // column 0 opens the first run in any case
    const int columnsLeft = kCodedRowPixels - 64 * k;
    if (columnsLeft < 64) starts &= (uint64_t{1} << columnsLeft) - 1;
    while (starts != 0) {
      const int x = 64 * k + std::countr_zero(starts);
      runs[count++] = PixelRun{x - start, codes.role[PaintAt(high, low, start)]};
      start = x;
      starts &= starts - 1;
    }
  }
  runs[count++] = PixelRun{kCodedRowPixels - start, codes.role[PaintAt(high, low, start)]};
  return count;
}

}  // namespace

bool RowShowsPaint(const EntryPasses& passes, const PaintCodes& codes, int y) {
  RowBits high, low;
  PaintRow(passes, y, high, low);
  for (int k = 0; k < kRowWords; ++k) {
    // A column shows paint when its colour is not the blue of the first colour class.
    uint64_t shown = Lookup(codes.colour, 1, high[k], low[k]) | Lookup(codes.colour, 0, high[k], low[k]);
    const int columnsLeft = kFrameWidth - 64 * k;
    if (columnsLeft < 64) shown &= (uint64_t{1} << columnsLeft) - 1;
    if (shown != 0) return true;
  }
  return false;
}

void EncodeBandFromPasses(const EntryPasses& passes, const PaintCodes& codes, PixelData& out) {
  const int top = passes.band.top;
  const int height = passes.band.height;
  if (height <= 0 || top < 0 || top > passes.frameHeight - height) {
    throw QuilletError("The text band (rows " + std::to_string(top) + " to " + std::to_string(top + height - 1) +
                       ") does not lie inside the frame of " + std::to_string(passes.frameHeight) + " rows.");
  }
  // The band starts on an even row so that its first row opens the top field.
  if (top % 2 != 0) throw QuilletError("The text band starts on row " + std::to_string(top) + ", which is not even.");

  out.block.assign(2, 0);
  PixelRun runs[kCodedRowPixels];
  RowBits high, low;
  auto codeRow = [&](int y) {
    PaintRow(passes, y, high, low);
    const int count = RowRuns(high, low, codes, runs);
    EncodeRow(std::span<const PixelRun>(runs, static_cast<std::size_t>(count)), out.block);
  };
  out.topFieldOffset = static_cast<int>(out.block.size());
  for (int y = top; y < top + height; y += 2) codeRow(y);
  out.bottomFieldOffset = static_cast<int>(out.block.size());
  for (int y = top + 1; y < top + height; y += 2) codeRow(y);
}

}  // namespace quillet
