// Palette colours of presentation graphics: YCbCr by the frame's matrix, and the reduction to 255 colours.
#include "pgs/pgs_palette.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(PgsPalette, ColoursTakeTheFrameMatrixInLimitedRange) {
  struct Case {
    uint32_t rgba;
    int rows;
    YCbCrEntry entry;
  };
  const Case cases[] = {
      {0xFFFFFFFF, 1080, {235, 128, 128, 255}}, {0x000000FF, 1080, {16, 128, 128, 255}},
      {0xFF0000FF, 1080, {63, 240, 102, 255}},  {0xFF0000FF, 720, {63, 240, 102, 255}},
      {0xFF0000FF, 576, {81, 240, 90, 255}},    {0x0000FF80, 480, {41, 110, 240, 128}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToYCbCr(c.rgba, MatrixForFrameRows(c.rows)), c.entry) << std::hex << c.rgba << " on " << std::dec << c.rows;
  }
}

RgbaPicture PictureOf(const std::vector<uint32_t>& colours) {
  RgbaPicture p;
  p.width = static_cast<int>(colours.size());
  p.height = 1;
  p.pixels = colours;
  return p;
}

TEST(PgsPalette, ManyColoursKeepTheCommonestAndTakeTheNearest) {
  // 300 greys, each twice, and white many times: white stays, and every pixel is within a few steps of its colour.
  std::vector<uint32_t> colours(50, 0xFFFFFFFF);
  for (uint32_t g = 0; g < 300; ++g) {
    const uint32_t v = g * 255 / 299;
    const uint32_t grey = (v << 24) | (v << 16) | (v << 8) | 0xC0;
    colours.insert(colours.end(), {grey, grey});
  }
  const IndexedPicture indexed = IndexColours(PictureOf(colours));
  EXPECT_TRUE(indexed.reduced);
  EXPECT_EQ(indexed.colours.size(), 255u);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const uint32_t got = indexed.colours[indexed.indices[i] - 1u];
    EXPECT_LE(std::abs(static_cast<int>(got >> 24) - static_cast<int>(colours[i] >> 24)), 2) << i;
    EXPECT_EQ(got & 0xFF, colours[i] & 0xFF) << i;
  }
}

}  // namespace
}  // namespace quillet
