// The colours of a presentation graphics picture: at most 255 palette entries besides transparent, in YCbCr.
#pragma once

#include <cstdint>
#include <vector>

#include "render/antialiased_drawing.h"

namespace quillet {

// The coefficients a player converts the palette with: BT.709 on HD frames (720 and 1080 rows), BT.601 on the
// 576- and 480-row frames.
enum class ColourMatrix { Bt601, Bt709 };
ColourMatrix MatrixForFrameRows(int rows);

// One palette entry as the palette segment holds it: limited range (Y 16..235, Cb and Cr 16..240), straight alpha.
struct YCbCrEntry {
  uint8_t y = 16;
  uint8_t cr = 128;
  uint8_t cb = 128;
  uint8_t alpha = 0;
  bool operator==(const YCbCrEntry&) const = default;
};
YCbCrEntry ToYCbCr(uint32_t rgba, ColourMatrix matrix);

// A picture as palette indices: index 0 is transparent (every pixel with alpha 0), index k ≥ 1 has the colour
// colours[k − 1] (R << 24 | G << 16 | B << 8 | A).
struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices;
  std::vector<uint32_t> colours;  // at most 255
  bool reduced = false;           // more than 255 colours were drawn: each pixel took the nearest kept one
};

constexpr int kMaxPaletteColours = 255;

// Exact when the picture holds at most 255 colours besides transparent. Otherwise the 255 most frequent colours
// are kept (ties to the smaller value) and every other pixel takes the nearest of them (premultiplied RGBA, squared
// distance).
IndexedPicture IndexColours(const RgbaPicture& picture);

}  // namespace quillet
