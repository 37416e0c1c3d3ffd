// DVD palette entries (0, Y, Cr, Cb) to the RGB colour that swatches, drawing and pixel classification share.
#pragma once

#include <cstdint>

#include "render/image.h"

namespace quillet {

// The converted components before they are cut to 8 bits; they may lie outside 0..255.
struct RgbComponents {
  int r = 0;
  int g = 0;
  int b = 0;
  bool operator==(const RgbComponents&) const = default;
};

// Y, Cr, Cb (each 0..255) to R, G, B with the JPEG full-range coefficients, computed in extended precision and
// rounded half to even. No clamping: Y 81, Cr 90, Cb 240 gives B = 279.
RgbComponents YCrCbComponents(int y, int cr, int cb);

// A palette entry as stored in the IFO (bits 23-16 Y, 15-8 Cr, 7-0 Cb; the top byte is ignored) to the colour
// built from the low 8 bits of each component: out-of-range results wrap (279 -> 23, -33 -> 223) rather than
// clamp. Every user of the palette must see this same colour, so a frame pixel drawn in a role's colour is
// recognised as that role again.
Rgb YCrCbToRGB(uint32_t entry);

// The palette entry (0x00YYCrCb) for a colour: the JPEG full-range conversion rounded, then among its nearest
// neighbours the one whose YCrCbToRGB lies closest to `colour` without wrapping, so a saturated colour does not
// come back as its opposite.
uint32_t RgbToYCrCb(Rgb colour);

}  // namespace quillet
