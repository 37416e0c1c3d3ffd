// DVD palette entries (0, Y, Cr, Cb) to the RGB colour that swatches, drawing and pixel classification share.
#include "palette/ycrcb.h"

#include "base/number_text.h"

namespace quillet {

RgbComponents YCrCbComponents(int y, int cr, int cb) {
  // Extended precision, with the coefficients as extended constants, so near-halfway products round the same
  // way on every run; the order of the terms in G is part of that.
  const long double luma = y;
  const long double crOffset = cr - 128;
  const long double cbOffset = cb - 128;
  const long double r = luma + 1.402L * crOffset;
  const long double g = luma - 0.34414L * cbOffset - 0.71414L * crOffset;
  const long double b = luma + 1.772L * cbOffset;
  return RgbComponents{static_cast<int>(RoundHalfToEven(r)), static_cast<int>(RoundHalfToEven(g)),
                       static_cast<int>(RoundHalfToEven(b))};
}

Rgb YCrCbToRGB(uint32_t entry) {
  const RgbComponents c = YCrCbComponents((entry >> 16) & 0xFF, (entry >> 8) & 0xFF, entry & 0xFF);
  // Two's-complement low byte: -33 -> 223, 279 -> 23.
  auto low8 = [](int v) { return static_cast<uint8_t>(static_cast<unsigned>(v) & 0xFFu); };
  return Rgb{low8(c.r), low8(c.g), low8(c.b)};
}

}  // namespace quillet
