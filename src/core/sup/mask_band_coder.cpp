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

// One bit of a per-paint table as a function of the paint planes, in the form a ^ (h & high) ^ (l & low) ^
// (hl & high & low), each term all ones or none: the columns whose paint p has bit `bit` set in table[p].
struct PlaneFunction {
  uint64_t a, h, l, hl;

  PlaneFunction(const std::array<uint8_t, 4>& table, unsigned bit) {
    auto bitOf = [&](unsigned p) { return ((table[p] >> bit) & 1) != 0 ? ~uint64_t{0} : 0; };
    a = bitOf(0);
    h = bitOf(0) ^ bitOf(2);
    l = bitOf(0) ^ bitOf(1);
    hl = bitOf(0) ^ bitOf(1) ^ bitOf(2) ^ bitOf(3);
  }
  uint64_t operator()(uint64_t high, uint64_t low) const { return a ^ (h & high) ^ (l & low) ^ (hl & high & low); }
};

// The colour classes and role codes of PaintCodes as plane functions, worked out once per band.
struct PlaneCodes {
  PlaneFunction colourHigh, colourLow, roleHigh, roleLow;
  explicit PlaneCodes(const PaintCodes& codes)
      : colourHigh(codes.colour, 1), colourLow(codes.colour, 0), roleHigh(codes.role, 1), roleLow(codes.role, 0) {}
};

/* Codes frame row y straight from its paint planes. A run starts at column 0 and wherever a column's colour
   differs from its left neighbour's, that is where the colour-class planes differ from themselves shifted by
   one column; each run gets the role of its first column's paint. Columns 0..718 are coded, as the scan of a
   frame row does. */
void CodeRow(const RowBits& high, const RowBits& low, const PaintCodes& codes, const PlaneCodes& planes,
             std::vector<uint8_t>& out) {
  uint8_t row[kRowCodeBufferBytes];
  RowCodeWriter writer(row);
  int start = 0;
  unsigned role = codes.role[((high[0] & 1) << 1) | (low[0] & 1)];
  // The colour of the column left of the word, in both planes; the column left of column 0 counts as
  // background paint.
  const uint64_t backgroundHigh = planes.colourHigh.a;
  const uint64_t backgroundLow = planes.colourLow.a;
  uint64_t carryHigh = backgroundHigh & 1, carryLow = backgroundLow & 1;
  for (int k = 0; k < kRowWords; ++k) {
    // A word of background paint after a background column starts no run: most of a row is such words.
    if ((high[k] | low[k]) == 0 && carryHigh == (backgroundHigh & 1) && carryLow == (backgroundLow & 1)) continue;
    const uint64_t colourHigh = planes.colourHigh(high[k], low[k]);
    const uint64_t colourLow = planes.colourLow(high[k], low[k]);
    uint64_t starts = (colourHigh ^ (colourHigh << 1 | carryHigh)) | (colourLow ^ (colourLow << 1 | carryLow));
    carryHigh = colourHigh >> 63;
    carryLow = colourLow >> 63;
    if (k == 0) starts &= ~uint64_t{1};  // column 0 opens the first run in any case
    const int columnsLeft = kCodedRowPixels - 64 * k;
    if (columnsLeft < 64) starts &= (uint64_t{1} << columnsLeft) - 1;
    if (starts == 0) continue;
    const uint64_t roleHigh = planes.roleHigh(high[k], low[k]);
    const uint64_t roleLow = planes.roleLow(high[k], low[k]);
    do {
      const int bit = std::countr_zero(starts);
      const int x = 64 * k + bit;
      writer.Run(x - start, role);
      role = static_cast<unsigned>(((roleHigh >> bit) & 1) << 1 | ((roleLow >> bit) & 1));
      start = x;
      starts &= starts - 1;
    } while (starts != 0);
  }
  writer.Run(kCodedRowPixels - start, role);
  writer.AppendTo(out);
}

}  // namespace

bool RowShowsPaint(const EntryPasses& passes, const PaintCodes& codes, int y) {
  RowBits high, low;
  PaintRow(passes, y, high, low);
  const PlaneCodes planes(codes);
  for (int k = 0; k < kRowWords; ++k) {
    // A column shows paint when its colour is not the blue of the first colour class.
    uint64_t shown = planes.colourHigh(high[k], low[k]) | planes.colourLow(high[k], low[k]);
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
  RowBits high, low;
  const PlaneCodes planes(codes);
  auto codeRow = [&](int y) {
    PaintRow(passes, y, high, low);
    CodeRow(high, low, codes, planes, out.block);
  };
  out.topFieldOffset = static_cast<int>(out.block.size());
  for (int y = top; y < top + height; y += 2) codeRow(y);
  out.bottomFieldOffset = static_cast<int>(out.block.size());
  for (int y = top + 1; y < top + height; y += 2) codeRow(y);
}

}  // namespace quillet
