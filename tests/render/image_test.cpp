#include <gtest/gtest.h>

#include "render/frame.h"
#include "render/image.h"

namespace quillet {

TEST(Image24, StoresBlueGreenRedTopRowFirst) {
  Image24 image(3, 2, kFrameBlue);
  image.SetPixel(1, 1, Rgb{10, 20, 30});
  const uint8_t* row1 = image.Row(1);
  EXPECT_EQ(row1[3], 30);  // blue first
  EXPECT_EQ(row1[4], 20);
  EXPECT_EQ(row1[5], 10);
  EXPECT_EQ(image.Pixel(0, 0), kFrameBlue);
  EXPECT_EQ(image.Row(0)[0], 255);
  EXPECT_EQ(image.Pixel(1, 1), (Rgb{10, 20, 30}));
}

}  // namespace quillet
