// The 16 palette swatches and their number labels: colour, tooltip, caption and place in the "Input" group.
#include "palette/palette_display.h"

#include <cstdio>
#include <string>
#include <utility>

#include "palette/ycrcb.h"

namespace quillet {
namespace {

// Swatch n sits at 15 * (n + 1) + 44 (59 for entry 0, 284 for entry 15); its label one pixel to the right.
PaletteEntryView MakeEntry(int n, Rgb colour, std::string tooltip, int labelShiftPx = 1) {
  PaletteEntryView entry;
  entry.colour = colour;
  entry.tooltip = std::move(tooltip);
  entry.swatchLeft = 15 * (n + 1) + 44;
  entry.labelLeft = entry.swatchLeft + labelShiftPx;
  entry.caption = std::to_string(n);
  return entry;
}

}  // namespace

std::array<Rgb, kPaletteSize> PaletteDisplay::Colours() const {
  std::array<Rgb, kPaletteSize> colours;
  for (int n = 0; n < kPaletteSize; ++n) colours[n] = entries[n].colour;
  return colours;
}

PaletteDisplay MakeIfoPaletteDisplay(const std::array<uint32_t, kPaletteSize>& palette) {
  PaletteDisplay display;
  for (int n = 0; n < kPaletteSize; ++n) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(palette[n]));
    display.entries[n] = MakeEntry(n, YCrCbToRGB(palette[n]), hex);
  }
  return display;
}

PaletteDisplay MakeGenericPalette() {
  PaletteDisplay display;
  display.generic = true;
  for (int n = 0; n < 4; ++n) {
    const int level = 85 * n;
    const std::string text = std::to_string(level);
    const auto grey = static_cast<uint8_t>(level);
    // The four greys' labels sit one pixel further right than the others.
    display.entries[n] = MakeEntry(n, Rgb{grey, grey, grey}, text + text + text, 2);
  }
  for (int n = 4; n < kPaletteSize; ++n) display.entries[n] = MakeEntry(n, Rgb{0, 0, 0}, "000000");
  return display;
}

}  // namespace quillet
