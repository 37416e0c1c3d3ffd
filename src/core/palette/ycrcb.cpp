// DVD palette entries (0, Y, Cr, Cb) to the RGB colour that swatches, drawing and pixel classification share.
#include "palette/ycrcb.h"

#include <cmath>

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

uint32_t RgbToYCrCb(Rgb colour) {
  const double r = colour.r, g = colour.g, b = colour.b;
  const int y = static_cast<int>(std::lround(0.299 * r + 0.587 * g + 0.114 * b));
  const int cr = static_cast<int>(std::lround(128.0 + 0.5 * r - 0.418688 * g - 0.081312 * b));
  const int cb = static_cast<int>(std::lround(128.0 - 0.168736 * r - 0.331264 * g + 0.5 * b));
  uint32_t best = 0;
  long bestError = -1;
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dcr = -1; dcr <= 1; ++dcr) {
      for (int dcb = -1; dcb <= 1; ++dcb) {
        const int ny = y + dy, ncr = cr + dcr, ncb = cb + dcb;
        if (ny < 0 || ny > 255 || ncr < 0 || ncr > 255 || ncb < 0 || ncb > 255) continue;
        const RgbComponents back = YCrCbComponents(ny, ncr, ncb);
        if (back.r < 0 || back.r > 255 || back.g < 0 || back.g > 255 || back.b < 0 || back.b > 255) continue;
        const long error = (back.r - colour.r) * (back.r - colour.r) + (back.g - colour.g) * (back.g - colour.g) +
                           (back.b - colour.b) * (back.b - colour.b);
        if (bestError >= 0 && error >= bestError) continue;
        bestError = error;
        best = static_cast<uint32_t>(ny) << 16 | static_cast<uint32_t>(ncr) << 8 | static_cast<uint32_t>(ncb);
      }
    }
  }
  return best;
}

}  // namespace quillet
