#include "palette/palette_display.h"

#include <gtest/gtest.h>

#include "ifo_bytes.h"

namespace quillet {
namespace {

TEST(MakeGenericPalette, FourGreysThenBlack) {
  const PaletteDisplay display = MakeGenericPalette();
  EXPECT_TRUE(display.generic);
  const char* tooltips[] = {"000", "858585", "170170170", "255255255"};
  for (int n = 0; n < kPaletteSize; ++n) {
    const PaletteEntryView& e = display.entries[n];
    const auto level = static_cast<uint8_t>(n < 4 ? 85 * n : 0);
    EXPECT_EQ(e.colour, (Rgb{level, level, level})) << n;
    EXPECT_EQ(e.tooltip, n < 4 ? tooltips[n] : "000000") << n;
    EXPECT_EQ(e.caption, std::to_string(n));
    EXPECT_EQ(e.swatchLeft, 15 * (n + 1) + 44) << n;
    EXPECT_EQ(e.labelLeft, 15 * (n + 1) + (n < 4 ? 46 : 45)) << n;
    EXPECT_EQ(e.swatchTop, 62);
    EXPECT_EQ(e.labelTop, 48);
  }
  // A role on "Color 7" draws with the same black as "Color 0".
  EXPECT_EQ(display.Colours()[7], display.Colours()[0]);
}

TEST(MakeIfoPaletteDisplay, ShowsConvertedColoursAndEightDigitTooltips) {
  std::array<uint32_t, 16> palette{};
  palette[0] = test::Grey(16);
  palette[1] = 0x00515AF0;
  palette[15] = 0xAB0A0B0C;
  const PaletteDisplay display = MakeIfoPaletteDisplay(palette);
  EXPECT_FALSE(display.generic);
  EXPECT_EQ(display.entries[0].tooltip, "00108080");
  EXPECT_EQ(display.entries[1].tooltip, "00515AF0");
  EXPECT_EQ(display.entries[15].tooltip, "AB0A0B0C");
  EXPECT_EQ(display.entries[2].tooltip, "00000000");
  EXPECT_EQ(display.entries[0].colour, (Rgb{16, 16, 16}));
  EXPECT_EQ(display.Colours()[1], (Rgb{28, 70, 23}));
  EXPECT_EQ(display.entries[0].swatchLeft, 59);
  EXPECT_EQ(display.entries[15].swatchLeft, 284);
  EXPECT_EQ(display.entries[0].labelLeft, 60);
  EXPECT_EQ(display.entries[15].labelLeft, 285);
  EXPECT_EQ(display.entries[15].caption, "15");
}

}  // namespace
}  // namespace quillet
