// A 1-bit picture of where a line puts ink, its square dilation, and painting it onto an image in one colour.
#pragma once

#include <cstdint>
#include <vector>

#include "render/font_engine.h"
#include "render/image.h"

namespace quillet {

// Ink pixels in a box at (left, top) relative to the top-left of the line's text cell.
// Bit i of word k of a row is the pixel at column left + 64k + i.
struct BitMask {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int wordsPerRow = 0;
  std::vector<uint64_t> words;

  bool Empty() const { return width == 0 || height == 0; }
  bool Test(int x, int y) const;  // x, y relative to the box
};

// Every pixel a single draw of the line paints: glyph ink and underline / strikeout rules.
BitMask MaskFromLayout(const LineLayout& layout);

// The union of the mask shifted by every (dx, dy) with |dx|, |dy| <= radius: what drawing the line at each of
// those (2 radius + 1)² points paints. The box grows by radius on every side.
BitMask Dilate(const BitMask& mask, int radius);

// Paints every pixel of the mask, placed with its cell at (cellX, cellY), in one colour; pixels outside the
// image are skipped.
void PaintMask(Image24& image, const BitMask& mask, int cellX, int cellY, Rgb colour);

}  // namespace quillet
