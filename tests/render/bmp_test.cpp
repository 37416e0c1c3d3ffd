#include "render/bmp.h"

#include <gtest/gtest.h>

#include "render/preview_background.h"
#include "test_support.h"

namespace quillet {

TEST(Bmp, RoundTripsA24BitPictureWithRowPadding) {
  Image24 image(5, 3, Rgb{1, 2, 3});  // 15 bytes a row: padded to 16
  image.SetPixel(4, 0, Rgb{200, 100, 50});
  image.SetPixel(0, 2, Rgb{9, 8, 7});
  auto decoded = DecodeBmp(EncodeBmp(image));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, image);
}

TEST(Bmp, ReadsAnEightBitPaletteTopDownPicture) {
  // 2 x 2, 8 bits, top-down (negative height), palette of two colours.
  std::string b(14 + 40 + 8 + 8, '\0');
  auto put = [&b](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put(10, 14 + 40 + 8, 4);
  put(14, 40, 4);
  put(18, 2, 4);
  put(22, static_cast<uint32_t>(-2), 4);
  put(26, 1, 2);
  put(28, 8, 2);
  put(46, 2, 4);
  put(54, 0x00FF0000, 4);  // entry 0: red (stored B G R 0)
  put(58, 0x000000FF, 4);  // entry 1: blue
  b[62] = 0;
  b[63] = 1;
  b[66] = 1;
  b[67] = 0;
  auto image = DecodeBmp(b);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Pixel(0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(image->Pixel(1, 0), (Rgb{0, 0, 255}));
  EXPECT_EQ(image->Pixel(0, 1), (Rgb{0, 0, 255}));
}

TEST(Bmp, RefusesDamagedAndForeignFilesWithoutReadingPastTheEnd) {
  Image24 image(4, 4);
  std::string good = EncodeBmp(image);
  EXPECT_FALSE(DecodeBmp(good.substr(0, good.size() - 1)));
  EXPECT_FALSE(DecodeBmp(good.substr(0, 30)));
  EXPECT_FALSE(DecodeBmp(""));
  EXPECT_FALSE(DecodeBmp("GIF89a........................................................"));
  std::string huge = good;
  huge[18] = '\xff';
  huge[19] = '\xff';
  huge[20] = '\xff';
  huge[21] = '\x7f';
  EXPECT_FALSE(DecodeBmp(huge));
}

TEST(PreviewPicture, UserPictureIsScaledAndAMissingOneFallsBack) {
  test::TempDir dir;
  Image24 small(360, 288, Rgb{10, 200, 30});
  const std::string path = dir.Write("pal.bmp", EncodeBmp(small));
  Image24 pal = LoadPreviewPicture(VideoStandard::Pal, path);
  ASSERT_EQ(pal.Width(), 720);
  ASSERT_EQ(pal.Height(), 576);
  EXPECT_EQ(pal.Pixel(719, 575), (Rgb{10, 200, 30}));

  Image24 ntsc = LoadPreviewPicture(VideoStandard::Ntsc, dir.File("gone.bmp"));
  EXPECT_EQ(ntsc, BuiltInPreviewBackground(VideoStandard::Ntsc));
  EXPECT_EQ(ntsc.Height(), 480);
  EXPECT_EQ(LoadPreviewPicture(VideoStandard::Pal, dir.Write("bad.bmp", "BMnot a picture")),
            BuiltInPreviewBackground(VideoStandard::Pal));
}

}  // namespace quillet
