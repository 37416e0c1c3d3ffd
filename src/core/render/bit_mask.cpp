// A 1-bit picture of where a line puts ink, its square dilation, and painting it onto an image in one colour.
#include "render/bit_mask.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <climits>

namespace quillet {
namespace {

// row |= row shifted towards higher columns by `shift` bits (the row has `words` words).
void OrShiftedUp(uint64_t* row, int words, int shift) {
  const int wordShift = shift / 64;
  const int bitShift = shift % 64;
  for (int k = words - 1; k >= wordShift; --k) {
    const int from = k - wordShift;
    uint64_t value = row[from] << bitShift;
    if (bitShift != 0 && from > 0) value |= row[from - 1] >> (64 - bitShift);
    row[k] |= value;
  }
}

void SetBits(uint64_t* row, int from, int to) {
  for (int x = from; x < to;) {
    const int word = x >> 6;
    const int bit = x & 63;
    const int count = std::min(64 - bit, to - x);
    const uint64_t bits = count == 64 ? ~uint64_t{0} : ((uint64_t{1} << count) - 1) << bit;
    row[word] |= bits;
    x += count;
  }
}

}  // namespace

bool BitMask::Test(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return false;
  return (words[static_cast<std::size_t>(y) * wordsPerRow + (x >> 6)] >> (x & 63)) & 1;
}

BitMask MaskFromLayout(const LineLayout& layout) {
  int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
  for (const PlacedGlyph& placed : layout.glyphs) {
    minX = std::min(minX, placed.x);
    minY = std::min(minY, placed.y);
    maxX = std::max(maxX, placed.x + placed.glyph->width);
    maxY = std::max(maxY, placed.y + placed.glyph->height);
  }
  for (const InkRect& rule : layout.rules) {
    if (rule.width <= 0 || rule.height <= 0) continue;
    minX = std::min(minX, rule.x);
    minY = std::min(minY, rule.y);
    maxX = std::max(maxX, rule.x + rule.width);
    maxY = std::max(maxY, rule.y + rule.height);
  }
  BitMask mask;
  if (minX >= maxX || minY >= maxY) return mask;
  mask.left = minX;
  mask.top = minY;
  mask.width = maxX - minX;
  mask.height = maxY - minY;
  mask.wordsPerRow = (mask.width + 63) / 64;
  mask.words.assign(static_cast<std::size_t>(mask.wordsPerRow) * mask.height, 0);

  for (const PlacedGlyph& placed : layout.glyphs) {
    const GlyphBitmap& glyph = *placed.glyph;
    const int offset = placed.x - mask.left;
    const int wordOffset = offset >> 6;
    const int bitOffset = offset & 63;
    for (int j = 0; j < glyph.height; ++j) {
      uint64_t* row = &mask.words[static_cast<std::size_t>(placed.y - mask.top + j) * mask.wordsPerRow];
      const uint64_t* source = &glyph.bits[static_cast<std::size_t>(j) * glyph.wordsPerRow];
      for (int k = 0; k < glyph.wordsPerRow; ++k) {
        const uint64_t bits = source[k];
        if (bits == 0) continue;
        const int word = wordOffset + k;
        row[word] |= bits << bitOffset;
        if (bitOffset != 0 && word + 1 < mask.wordsPerRow) row[word + 1] |= bits >> (64 - bitOffset);
      }
    }
  }
  for (const InkRect& rule : layout.rules) {
    if (rule.width <= 0 || rule.height <= 0) continue;
    for (int y = rule.y; y < rule.y + rule.height; ++y) {
      SetBits(&mask.words[static_cast<std::size_t>(y - mask.top) * mask.wordsPerRow], rule.x - mask.left,
              rule.x - mask.left + rule.width);
    }
  }
  return mask;
}

/* Square dilation, separably: first every row is ORed with itself shifted by 1 … 2r columns (by doubling: the
   span covered grows 1, 2, 4 … so radius 4 takes four shifts), then every output row is the OR of the 2r + 1
   row results above it. Column c of a source row lands in columns c … c + 2r of the output, whose box starts r
   columns further left, so that is exactly c − r … c + r; likewise for rows. */
BitMask Dilate(const BitMask& mask, int radius) {
  assert(radius >= 0);
  if (mask.Empty() || radius == 0) return mask;
  BitMask out;
  out.left = mask.left - radius;
  out.top = mask.top - radius;
  out.width = mask.width + 2 * radius;
  out.height = mask.height + 2 * radius;
  out.wordsPerRow = (out.width + 63) / 64;
  const int span = 2 * radius + 1;

  std::vector<uint64_t> rows(static_cast<std::size_t>(out.wordsPerRow) * mask.height, 0);
  for (int y = 0; y < mask.height; ++y) {
    uint64_t* row = &rows[static_cast<std::size_t>(y) * out.wordsPerRow];
    std::copy_n(&mask.words[static_cast<std::size_t>(y) * mask.wordsPerRow], mask.wordsPerRow, row);
    for (int covered = 1; covered < span;) {
      const int step = std::min(covered, span - covered);
      OrShiftedUp(row, out.wordsPerRow, step);
      covered += step;
    }
  }

  out.words.assign(static_cast<std::size_t>(out.wordsPerRow) * out.height, 0);
  for (int y = 0; y < mask.height; ++y) {
    const uint64_t* row = &rows[static_cast<std::size_t>(y) * out.wordsPerRow];
    for (int d = 0; d < span; ++d) {
      uint64_t* target = &out.words[static_cast<std::size_t>(y + d) * out.wordsPerRow];
      for (int k = 0; k < out.wordsPerRow; ++k) target[k] |= row[k];
    }
  }
  return out;
}

void PaintMask(Image24& image, const BitMask& mask, int cellX, int cellY, Rgb colour) {
  if (mask.Empty()) return;
  const int originX = cellX + mask.left;
  const int originY = cellY + mask.top;
  const int y0 = std::max(0, originY);
  const int y1 = std::min(image.Height(), originY + mask.height);
  const int x0 = std::max(0, originX);
  const int x1 = std::min(image.Width(), originX + mask.width);
  if (y0 >= y1 || x0 >= x1) return;

  for (int y = y0; y < y1; ++y) {
    const uint64_t* row = &mask.words[static_cast<std::size_t>(y - originY) * mask.wordsPerRow];
    uint8_t* pixels = image.Row(y);
    for (int k = 0; k < mask.wordsPerRow; ++k) {
      uint64_t bits = row[k];
      if (bits == 0) continue;
      const int base = originX + 64 * k;
      // Keep only the columns inside the image.
      const int low = x0 - base;
      const int high = x1 - base;
      if (high <= 0) break;
      if (low >= 64) continue;
      if (low > 0) bits &= ~uint64_t{0} << low;
      if (high < 64) bits &= (uint64_t{1} << high) - 1;
      while (bits != 0) {
        const int start = std::countr_zero(bits);
        const int length = std::countr_one(bits >> start);
        uint8_t* p = pixels + static_cast<std::size_t>(base + start) * 3;
        for (int i = 0; i < length; ++i, p += 3) {
          p[0] = colour.b;
          p[1] = colour.g;
          p[2] = colour.r;
        }
        bits = length + start >= 64 ? 0 : bits & (~uint64_t{0} << (start + length));
      }
    }
  }
}

}  // namespace quillet
