// A 1-bit picture of where a line puts ink, its square dilation, and painting such pictures onto an image.
#include "render/bit_mask.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <climits>
#include <cstring>

namespace quillet {
namespace {

// row |= row shifted towards higher columns by `shift` bits.
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

// row = row shifted towards lower columns by `shift` bits.
void ShiftDown(uint64_t* row, int words, int shift) {
  const int wordShift = shift / 64;
  const int bitShift = shift % 64;
  for (int k = 0; k < words; ++k) {
    const int from = k + wordShift;
    uint64_t value = from < words ? row[from] >> bitShift : 0;
    if (bitShift != 0 && from + 1 < words) value |= row[from + 1] << (64 - bitShift);
    row[k] = value;
  }
}

void SetBits(uint64_t* row, int from, int to) {
  for (int x = from; x < to;) {
    const int word = x >> 6;
    const int bit = x & 63;
    const int count = std::min(64 - bit, to - x);
    row[word] |= (count == 64 ? ~uint64_t{0} : ((uint64_t{1} << count) - 1)) << bit;
    x += count;
  }
}

}  // namespace

bool BitMask::Test(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return false;
  return (Row(y)[x >> 6] >> (x & 63)) & 1;
}

BitMask MaskFromLayout(const LineLayout& layout, int margin) {
  assert(margin >= 0);
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
  mask.left = minX - margin;
  mask.top = minY - margin;
  mask.width = maxX - minX + 2 * margin;
  mask.height = maxY - minY + 2 * margin;
  mask.wordsPerRow = (mask.width + 63) / 64;
  mask.words.assign(static_cast<std::size_t>(mask.wordsPerRow) * mask.height, 0);

  for (const PlacedGlyph& placed : layout.glyphs) {
    const GlyphBitmap& glyph = *placed.glyph;
    const int offset = placed.x - mask.left;
    const int wordOffset = offset >> 6;
    const int bitOffset = offset & 63;
    for (int j = 0; j < glyph.height; ++j) {
      uint64_t* row = mask.Row(placed.y - mask.top + j);
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
      SetBits(mask.Row(y - mask.top), rule.x - mask.left, rule.x - mask.left + rule.width);
    }
  }
  return mask;
}

/* Square dilation, separably. Each row is shifted down by r columns and then ORed with itself shifted up by
   1 … 2r columns (by doubling: the span covered grows 1, 2, 4 … so radius 4 takes four shifts), which leaves
   column c set when any of c − r … c + r was; with the margin no bit leaves the row on either side. Then each output
   row is the OR of the rows r above to r below it. The box does not grow: ink within r of the box's edge would lose
   part of its dilation, hence the margin. */
BitMask Dilate(const BitMask& mask, int radius) {
  assert(radius >= 0);
  if (mask.Empty() || radius == 0) return mask;
  const int span = 2 * radius + 1;
  const int words = mask.wordsPerRow;

  std::vector<uint64_t> rows = mask.words;
  for (int y = 0; y < mask.height; ++y) {
    uint64_t* row = &rows[static_cast<std::size_t>(y) * words];
    ShiftDown(row, words, radius);
    for (int covered = 1; covered < span;) {
      const int step = std::min(covered, span - covered);
      OrShiftedUp(row, words, step);
      covered += step;
    }
  }

  BitMask out;
  out.left = mask.left;
  out.top = mask.top;
  out.width = mask.width;
  out.height = mask.height;
  out.wordsPerRow = words;
  out.words.assign(mask.words.size(), 0);
  for (int y = 0; y < mask.height; ++y) {
    uint64_t* target = out.Row(y);
    const int from = std::max(0, y - radius);
    const int to = std::min(mask.height - 1, y + radius);
    for (int source = from; source <= to; ++source) {
      const uint64_t* row = &rows[static_cast<std::size_t>(source) * words];
      for (int k = 0; k < words; ++k) target[k] |= row[k];
    }
  }
  return out;
}

void PaintLayers(Image24& image, int cellX, int cellY, std::span<const MaskLayer> layers) {
  if (layers.empty() || layers[0].mask->Empty()) return;
  const BitMask& box = *layers[0].mask;
  for (const MaskLayer& layer : layers) {
    assert(layer.mask->left == box.left && layer.mask->top == box.top && layer.mask->width == box.width &&
           layer.mask->height == box.height);
  }
  const int originX = cellX + box.left;
  const int originY = cellY + box.top;
  const int y0 = std::max(0, originY);
  const int y1 = std::min(image.Height(), originY + box.height);
  const int x0 = std::max(0, originX);
  const int x1 = std::min(image.Width(), originX + box.width);
  if (y0 >= y1 || x0 >= x1) return;

  constexpr int kMaxLayers = 4;
  assert(layers.size() <= kMaxLayers);
  const int layerCount = static_cast<int>(layers.size());
  // Each colour as four bytes, blue, green, red and a spare that the next pixel's store overwrites.
  std::array<std::array<uint8_t, 4>, kMaxLayers> colours{};
  for (int l = 0; l < layerCount; ++l) colours[l] = {layers[l].colour.b, layers[l].colour.g, layers[l].colour.r, 0};
  // The twelve bytes of four neighbouring pixels for every combination of their layer indexes (four low bits,
  // then four high bits).
  std::array<std::array<uint8_t, 12>, 256> quads;
  for (unsigned quad = 0; quad < 256; ++quad) {
    for (unsigned j = 0; j < 4; ++j) {
      const unsigned top = (((quad >> (4 + j)) & 1) << 1) | ((quad >> j) & 1);
      std::memcpy(&quads[quad][3 * j], colours[top].data(), 3);
    }
  }

  const int firstWord = (x0 - originX) >> 6;
  const int endWord = (x1 - originX + 63) >> 6;
  for (int y = y0; y < y1; ++y) {
    uint8_t* pixels = image.Row(y);
    const int row = y - originY;
    for (int k = firstWord; k < endWord; ++k) {
      // Per pixel, the index of the last layer that has it, as two bit planes: high = in layer 2 or 3,
      // low = in layer 3, or in layer 1 and in neither later one.
      uint64_t any = 0, high = 0, low = 0;
      for (int l = 0; l < layerCount; ++l) {
        const uint64_t bits = layers[l].mask->Row(row)[k];
        any |= bits;
        if (l >= 2) high |= bits;
        low = (l % 2 == 1) ? (low | bits) : (low & ~bits);
      }
      if (any == 0) continue;
      const int base = originX + 64 * k;
      // Only the columns inside the image.
      if (x0 - base > 0) any &= ~uint64_t{0} << (x0 - base);
      if (x1 - base < 64) any &= (uint64_t{1} << (x1 - base)) - 1;
      while (any != 0) {
        const int start = std::countr_zero(any);
        const int length = std::countr_one(any >> start);
        const int last = start + length - 1;
        uint8_t* p = pixels + static_cast<std::size_t>(base + start) * 3;
        int i = start;
        for (; i + 4 <= last; i += 4, p += 12) {  // four pixels at a time, none of them the run's last
          const unsigned quad = static_cast<unsigned>(((low >> i) & 0xF) | (((high >> i) & 0xF) << 4));
          std::memcpy(p, quads[quad].data(), 12);
        }
        for (; i < last; ++i, p += 3) {
          const int top = static_cast<int>(((high >> i) & 1) << 1 | ((low >> i) & 1));
          std::memcpy(p, colours[top].data(), 4);  // the fourth byte is the next pixel's, written next
        }
        const int top = static_cast<int>(((high >> last) & 1) << 1 | ((low >> last) & 1));
        std::memcpy(p, colours[top].data(), 3);
        any = last >= 63 ? 0 : any & (~uint64_t{0} << (last + 1));
      }
    }
  }
}

}  // namespace quillet
