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

// row = the OR of the row shifted by every distance from −radius to radius (1 … kMaxDilationRadius), in one pass,
// each word from itself and its two neighbours.
void DilateRowDirect(uint64_t* row, int words, int radius) {
  uint64_t previous = 0;  // the word before, as it was
  for (int k = 0; k < words; ++k) {
    const uint64_t word = row[k];
    const uint64_t next = k + 1 < words ? row[k + 1] : 0;
    uint64_t out = word;
    for (int d = 1; d <= radius; ++d) {
      out |= (word << d) | (previous >> (64 - d)) | (word >> d) | (next << (64 - d));
    }
    previous = word;
    row[k] = out;
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

/* Square dilation, separably.
   Rows, with shifts by doubling (the span covered grows 1, 2, 4 … so radius 4 takes four passes): output row y
   starts as source row y + r and is ORed with the rows 1 … 2r above it, which leaves the OR of source rows
   y − r … y + r. Columns: each row in one pass, column c set when any of c − r … c + r was (DilateRowDirect).
   With the margin no bit leaves the box. */
BitMask Dilate(const BitMask& mask, int radius) {
  assert(radius >= 0 && radius <= kMaxDilationRadius);
  if (mask.Empty() || radius == 0) return mask;
  const int span = 2 * radius + 1;
  const int words = mask.wordsPerRow;
  const std::size_t rowWords = static_cast<std::size_t>(words);

  BitMask out;
  out.left = mask.left;
  out.top = mask.top;
  out.width = mask.width;
  out.height = mask.height;
  out.wordsPerRow = words;
  out.words.assign(mask.words.size(), 0);
  if (radius < mask.height) {
    std::copy(mask.words.begin() + static_cast<std::ptrdiff_t>(radius * rowWords), mask.words.end(), out.words.begin());
  }
  for (int covered = 1; covered < span;) {
    const int step = std::min(covered, span - covered);
    for (int y = mask.height - 1; y >= step; --y) {
      uint64_t* target = out.Row(y);
      const uint64_t* above = out.Row(y - step);
      for (int k = 0; k < words; ++k) target[k] |= above[k];
    }
    covered += step;
  }

  for (int y = 0; y < mask.height; ++y) DilateRowDirect(out.Row(y), words, radius);
  return out;
}

namespace {

constexpr int kMaxLayers = 4;

// The bytes of four neighbouring pixels for every combination of their layer indexes (the low bits of the
// pixels, then their high bits), and 64 pixels of the first layer's colour.
struct LayerColourTables {
  std::array<std::array<uint8_t, 12>, 256> quads;
  std::array<uint8_t, 64 * 3> firstColourRow;

  explicit LayerColourTables(std::span<const MaskLayer> layers) {
    // Each colour's bytes in picture order: blue, green, red.
    std::array<std::array<uint8_t, 4>, kMaxLayers> colours{};
    for (std::size_t l = 0; l < layers.size(); ++l) {
      colours[l] = {layers[l].colour.b, layers[l].colour.g, layers[l].colour.r, 0};
    }
    std::array<std::array<uint8_t, 6>, 16> pairs;  // the same for two pixels
    for (unsigned pair = 0; pair < 16; ++pair) {
      for (unsigned j = 0; j < 2; ++j) {
        const unsigned top = (((pair >> (2 + j)) & 1) << 1) | ((pair >> j) & 1);
        std::memcpy(&pairs[pair][3 * j], colours[top].data(), 3);
      }
    }
    for (unsigned quad = 0; quad < 256; ++quad) {
      const unsigned first = (quad & 3) | (((quad >> 4) & 3) << 2);
      const unsigned second = ((quad >> 2) & 3) | (((quad >> 6) & 3) << 2);
      std::memcpy(&quads[quad][0], pairs[first].data(), 6);
      std::memcpy(&quads[quad][6], pairs[second].data(), 6);
    }
    for (int i = 0; i < 64; ++i) std::memcpy(&firstColourRow[3 * static_cast<std::size_t>(i)], colours[0].data(), 3);
  }
};

// Paints the 64 pixels from column `base` of a row: `any` marks those painted (inside the image), `high` and
// `low` are the bit planes of the last layer that has each. A word wholly painted is first filled with the first
// layer's colour; only pixels of later layers are left. Then four pixels at a time: a group wholly painted is one
// copy, a group partly painted pixel by pixel.
void PaintWord(uint8_t* pixels, int base, uint64_t any, uint64_t high, uint64_t low, const LayerColourTables& tables) {
  if (any == ~uint64_t{0}) {
    std::memcpy(pixels + static_cast<std::size_t>(base) * 3, tables.firstColourRow.data(),
                tables.firstColourRow.size());
    any = high | low;
  }
  while (any != 0) {
    const int i = std::countr_zero(any) & ~3;
    const unsigned painted = static_cast<unsigned>(any >> i) & 0xF;
    any &= ~(uint64_t{0xF} << i);
    const unsigned quad = static_cast<unsigned>(((low >> i) & 0xF) | (((high >> i) & 0xF) << 4));
    // A partly painted group may start left of the image (base + i < 0): only its painted pixels, which are
    // inside, are addressed.
    const int at = base + i;
    if (painted == 0xF) {
      std::memcpy(pixels + static_cast<std::size_t>(at) * 3, tables.quads[quad].data(), 12);
    } else {
      for (int j = 0; j < 4; ++j) {
        if ((painted >> j) & 1) {
          std::memcpy(pixels + static_cast<std::size_t>(at + j) * 3, tables.quads[quad].data() + 3 * j, 3);
        }
      }
    }
  }
}

}  // namespace

// The preview redraw paints every entry the person looks at; painting each layer pixel by pixel instead of the
// tables made that redraw about a fifth slower (paired benchmark runs), so the tables stay.
void PaintLayers(Image24& image, int cellX, int cellY, std::span<const MaskLayer> layers) {
  if (layers.empty() || layers[0].mask->Empty()) return;
  const BitMask& box = *layers[0].mask;
  for ([[maybe_unused]] const MaskLayer& layer : layers) {
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
  assert(layers.size() <= kMaxLayers);
  const LayerColourTables tables(layers);

  const int firstWord = (x0 - originX) >> 6;
  const int endWord = (x1 - originX + 63) >> 6;
  for (int y = y0; y < y1; ++y) {
    uint8_t* pixels = image.Row(y);
    const int row = y - originY;
    for (int k = firstWord; k < endWord; ++k) {
      // Per pixel, the index of the last layer that has it, as two bit planes: high = in layer 2 or 3,
      // low = in layer 3, or in layer 1 and in neither later one.
      uint64_t any = 0, high = 0, low = 0;
      for (std::size_t l = 0; l < layers.size(); ++l) {
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
      PaintWord(pixels, base, any, high, low, tables);
    }
  }
}

}  // namespace quillet
