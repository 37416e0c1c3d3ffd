// A 1-bit picture of where a line puts ink, its square dilation, and painting such pictures onto an image.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "render/font_engine.h"
#include "render/image.h"

namespace quillet {

// Pixels in a box at (left, top) relative to the top-left of the line's text cell.
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
  const uint64_t* Row(int y) const { return words.data() + static_cast<std::size_t>(y) * wordsPerRow; }
  uint64_t* Row(int y) { return words.data() + static_cast<std::size_t>(y) * wordsPerRow; }
};

// Every pixel a single draw of the line paints (glyph ink, underline and strikeout rules), in a box that
// leaves `margin` empty pixels on every side around the ink. Empty when the line has no ink.
BitMask MaskFromLayout(const LineLayout& layout, int margin = 0);

// The largest radius Dilate takes: outlines are 2 to 4 pixels wide and the antialias ring 1.
constexpr int kMaxDilationRadius = 8;

// The union of the mask shifted by every (dx, dy) with |dx|, |dy| <= radius: what drawing the line at each of
// those (2 radius + 1)² points paints. The box stays the same, so the mask needs a margin of at least radius.
// radius 0 … kMaxDilationRadius.
BitMask Dilate(const BitMask& mask, int radius);

// One mask to paint in one colour.
struct MaskLayer {
  const BitMask* mask;
  Rgb colour;
};

// Paints the layers, all with the same box and placed with their cell at (cellX, cellY); a pixel in several
// layers takes the colour of the last, exactly as painting them one after another would, but each pixel is
// written once. Pixels outside the image are skipped.
void PaintLayers(Image24& image, int cellX, int cellY, std::span<const MaskLayer> layers);

}  // namespace quillet
