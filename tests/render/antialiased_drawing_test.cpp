// The antialiased drawing: placement in proportion to the frame, text over outline in few colours, clipping.
#include "render/antialiased_drawing.h"

#include <gtest/gtest.h>

#include <set>

namespace quillet {
namespace {

FontEngine& Engine() {
  static FontEngine engine(FontOptions{"UTF-8"});
  return engine;
}

AntialiasedEntry Draw(std::string_view line1, std::string_view line2, PictureFrame frame, RenderSettings settings = {},
                      TextColours colours = {}) {
  AntialiasedEntry out;
  DrawAntialiasedEntry(Engine(), line1, line2, settings, frame, colours, out);
  return out;
}

TEST(AntialiasedDrawing, PlacementAndSizeKeepTheirProportionToTheFrameHeight) {
  RenderSettings settings;
  settings.offset = 20;
  const AntialiasedEntry dvd = Draw("Hello there", "", {720, 576}, settings);
  const AntialiasedEntry hd = Draw("Hello there", "", {1920, 1080}, settings);
  const double scale = 1080.0 / 576.0;
  struct Case {
    const char* what;
    double dvdValue;
    double hdValue;
  } cases[] = {
      {"height", double(dvd.picture.height), double(hd.picture.height)},
      {"width", double(dvd.picture.width), double(hd.picture.width)},
      {"distance from the bottom", double(576 - dvd.picture.top), double(1080 - hd.picture.top)},
  };
  for (const Case& c : cases) EXPECT_NEAR(c.hdValue / c.dvdValue, scale, 0.08) << c.what;
  // Centred on each frame.
  EXPECT_NEAR(dvd.picture.left + dvd.picture.width / 2.0, 360, 3);
  EXPECT_NEAR(hd.picture.left + hd.picture.width / 2.0, 960, 3);
}

TEST(AntialiasedDrawing, TextLiesOverItsOutlineInAtMost255Colours) {
  const TextColours colours{{255, 224, 128}, {32, 48, 96}};
  const AntialiasedEntry entry = Draw("Wave of glyphs", "Ünïcödé, שלום", {1920, 1080}, {}, colours);
  std::set<uint32_t> seen;
  for (const uint32_t c : entry.picture.pixels) {
    if ((c & 0xFF) != 0) seen.insert(c);
  }
  EXPECT_LE(seen.size(), 255u);
  EXPECT_TRUE(seen.count(0xFFE080FF)) << "solid text";
  EXPECT_TRUE(seen.count(0x203060FF)) << "solid outline";
  // Partly covered outline pixels at the edge: the outline colour, partly transparent.
  EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](uint32_t c) { return (c >> 8) == 0x203060 && (c & 0xFF) < 255; }));
  EXPECT_EQ(entry.fit, BandFit::Inside);
}

TEST(AntialiasedDrawing, TextPastTheFrameIsCutAndSaidSo) {
  RenderSettings settings;
  settings.offset = -200;  // line 1's cell below the frame's bottom
  const AntialiasedEntry low = Draw("Low", "", {1280, 720}, settings);
  EXPECT_NE(low.fit, BandFit::Inside);
  EXPECT_LE(low.picture.top + low.picture.height, 720);
  EXPECT_TRUE(Draw("", "", {1920, 1080}).picture.pixels.empty());
}

}  // namespace
}  // namespace quillet
