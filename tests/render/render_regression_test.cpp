// Inputs found by fuzzing the renderer, kept so the faults they showed stay fixed. Run under the sanitizers
// (scripts/test) they also catch undefined behaviour that leaves the pixels right.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reference_render.h"
#include "render/bit_mask.h"
#include "render/name_tables.h"
#include "render/subtitle_renderer.h"
#include "render_test_support.h"

namespace quillet {
namespace {

using test::Font;
using test::SharedEngine;

// A full box of ink, width x height, with its top-left pixel at (left, top) of the cell.
BitMask SolidMask(int left, int top, int width, int height) {
  BitMask mask;
  mask.left = left;
  mask.top = top;
  mask.width = width;
  mask.height = height;
  mask.wordsPerRow = (width + 63) / 64;
  mask.words.assign(static_cast<std::size_t>(mask.wordsPerRow) * height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) mask.Row(y)[x / 64] |= uint64_t{1} << (x % 64);
  }
  return mask;
}

// A mask that starts left of the picture, at every offset within a word and a group of four: the pixels
// before column 0 are skipped, never addressed (fuzz input: a right-aligned line wider than the frame, whose
// cell started at an x that is not a multiple of four).
TEST(RenderRegression, PaintingAMaskThatStartsLeftOfThePictureTouchesOnlyItsPixels) {
  const Rgb background{0, 0, 255};
  const Rgb ink{200, 10, 20};
  for (int cellX : {-1, -2, -3, -5, -6, -7, -63, -64, -65, -70}) {
    Image24 picture(40, 3, background);
    const BitMask mask = SolidMask(0, 0, 80, 2);
    const MaskLayer layer{&mask, ink};
    PaintLayers(picture, cellX, 1, std::span<const MaskLayer>(&layer, 1));
    for (int y = 0; y < picture.Height(); ++y) {
      for (int x = 0; x < picture.Width(); ++x) {
        const bool inside = y >= 1 && x - cellX < 80;
        ASSERT_EQ(picture.Pixel(x, y), inside ? ink : background) << "cell at " << cellX << ", pixel " << x << "," << y;
      }
    }
  }
}

// The fuzz input itself: "Default" at 50 points, bold, italic, underline and strikeout, ARABIC, right-aligned,
// NTSC, outline 4, offset 8, line distance 10; line 1 is 41 capital W, line 2 "j". And the same line at lengths
// that put the cell's left edge at every remainder modulo four.
TEST(RenderRegression, LinesHangingOffTheLeftEdgeRenderAsTheLiteralAlgorithmDoes) {
  const RoleRgb roles{Rgb{0, 0, 255}, Rgb{128, 128, 128}, Rgb{16, 16, 16}};
  FontDesc font = Font(50, StyleSet{true, true, true, true}, "Default", CharsetFromText("ARABIC"));
  for (int count : {41, 30, 31, 32, 33}) {
    const std::string line1(static_cast<std::size_t>(count), 'W');
    const RenderedFrame fast = RenderFrame(
        SharedEngine(), line1, "j", RenderSettings{font, Alignment::Right, 8, 10, 4, VideoStandard::Ntsc, roles});
    const RenderedFrame reference = ReferenceRenderFrame(
        SharedEngine(), line1, "j", RenderSettings{font, Alignment::Right, 8, 10, 4, VideoStandard::Ntsc, roles});
    EXPECT_EQ(fast.bandTop, reference.bandTop) << count;
    EXPECT_EQ(fast.bandHeight, reference.bandHeight) << count;
    EXPECT_TRUE(fast.frame == reference.frame) << count << " W";
  }
}

}  // namespace
}  // namespace quillet
