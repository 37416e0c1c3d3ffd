// The 16 palette swatches and their number labels: colour, tooltip, caption and place in the "Input" group.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "render/image.h"

namespace quillet {

constexpr int kPaletteSize = 16;
constexpr int kSwatchSizePx = 14;  // swatches and labels are 14 x 14
constexpr int kSwatchTopPx = 62;
constexpr int kLabelTopPx = 48;

// One swatch (a solid square of `colour`) and the label above it, in pixels within the "Input" group box.
// Swatch and label carry the same tooltip.
struct PaletteEntryView {
  Rgb colour;
  std::string tooltip;
  int swatchLeft = 0;
  int swatchTop = kSwatchTopPx;
  int labelLeft = 0;
  int labelTop = kLabelTopPx;
  std::string caption;  // the entry number, "0" to "15"
  bool operator==(const PaletteEntryView&) const = default;
};

// A complete palette as shown; entry n is the colour a role set to "Color n" draws with.
struct PaletteDisplay {
  std::array<PaletteEntryView, kPaletteSize> entries;
  bool generic = false;  // the tool's own grey palette rather than an IFO's table

  std::array<Rgb, kPaletteSize> Colours() const;
  bool operator==(const PaletteDisplay&) const = default;
};

// An IFO's table: colours by YCrCbToRGB, tooltips the entry as 8 upper-case hexadecimal digits ("00108080").
PaletteDisplay MakeIfoPaletteDisplay(const std::array<uint32_t, kPaletteSize>& palette);

// The generic palette: entries 0 to 3 the greys 0, 85, 170, 255 with tooltips "000", "858585", "170170170",
// "255255255" and their labels one pixel further right; entries 4 to 15 black with tooltip "000000".
// Its roles are kGenericRoles (grey_band_roles.h).
PaletteDisplay MakeGenericPalette();

// What the user must enter on the DVD for generic entries 0 to 3 to look as shown (0, Y, Cr, Cb).
constexpr std::array<uint32_t, 4> kGenericPaletteYCrCb = {0x00008080, 0x00558080, 0x00AA8080, 0x00FF8080};

}  // namespace quillet
