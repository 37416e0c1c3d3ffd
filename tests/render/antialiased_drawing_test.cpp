// The antialiased drawing: placement in proportion to the frame, text over outline in few colours, clipping.
#include "render/antialiased_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>

#include "render_test_support.h"

namespace quillet {
namespace {

AntialiasedEntry Draw(std::string_view line1, std::string_view line2, PictureFrame frame, RenderSettings settings = {},
                      TextColours colours = {}) {
  AntialiasedEntry out;
  DrawAntialiasedEntry(test::SharedEngine(), line1, line2, settings, frame, colours, out);
  return out;
}

TEST(AntialiasedDrawing, PlacementAndSizeKeepTheirProportionToTheFrameHeight) {
  RenderSettings settings;
  settings.offset = 20;
  const AntialiasedEntry dvd = Draw("Hello there", "", {720, 576}, settings);
  const AntialiasedEntry hd = Draw("Hello there", "", {1920, 1080}, settings);
  const double scale = 1080.0 / 576.0;
  EXPECT_NEAR(double(hd.picture.height) / dvd.picture.height, scale, 0.08) << "height";
  EXPECT_NEAR(double(hd.picture.width) / dvd.picture.width, scale, 0.08) << "width";
  EXPECT_NEAR(double(1080 - hd.picture.top) / (576 - dvd.picture.top), scale, 0.08) << "distance from the bottom";
  // Centred on each frame.
  EXPECT_NEAR(dvd.picture.left + dvd.picture.width / 2.0, 360, 3);
  EXPECT_NEAR(hd.picture.left + hd.picture.width / 2.0, 960, 3);
}

TEST(AntialiasedDrawing, TextLiesOverItsOutlineInAtMost255Colours) {
  const TextColours colours{{255, 224, 128}, {32, 48, 96}};
  const AntialiasedEntry entry = Draw("Wave of glyphs", "Ünïcödé, שלום", {1920, 1080}, {}, colours);
  std::set<uint32_t> seen;
  const std::vector<uint32_t>& pixels = entry.picture.pixels;
  std::copy_if(pixels.begin(), pixels.end(), std::inserter(seen, seen.end()), [](uint32_t c) { return c & 0xFF; });
  EXPECT_LE(seen.size(), 255u);
  EXPECT_TRUE(seen.count(0xFFE080FF)) << "solid text";
  EXPECT_TRUE(seen.count(0x203060FF)) << "solid outline";
  // Partly covered outline pixels at the edge: the outline colour, partly transparent.
  EXPECT_TRUE(
      std::any_of(seen.begin(), seen.end(), [](uint32_t c) { return (c >> 8) == 0x203060 && (c & 0xFF) < 255; }));
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
