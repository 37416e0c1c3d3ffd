#include "render/bmp.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bmp_writer.h"
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

TEST(PreviewPicture, UserPictureIsScaledAndAMissingOneFallsBackSilently) {
  test::TempDir dir;
  Image24 small(360, 288, Rgb{10, 200, 30});
  const std::string path = dir.Write("pal.bmp", EncodeBmp(small));
  const PreviewPicture pal = LoadPreviewPicture(VideoStandard::Pal, path);
  EXPECT_EQ(pal.problem, "");
  ASSERT_EQ(pal.image.Width(), 720);
  ASSERT_EQ(pal.image.Height(), 576);
  EXPECT_EQ(pal.image.Pixel(719, 575), (Rgb{10, 200, 30}));

  const PreviewPicture ntsc = LoadPreviewPicture(VideoStandard::Ntsc, dir.File("gone.bmp"));
  EXPECT_EQ(ntsc.image, BuiltInPreviewBackground(VideoStandard::Ntsc));
  EXPECT_EQ(ntsc.problem, "");
}

// A 16384-square picture of 1 bit per pixel is a 32 MB file that would take 800 MB once decoded.
std::string HugeOneBitBmpHeader() {
  std::string bmp = EncodeBmp(Image24(1, 1));
  auto put = [&](std::size_t at, uint32_t v, int size) {
    for (int k = 0; k < size; ++k) bmp[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
  };
  put(18, 16384, 4);
  put(22, 16384, 4);
  put(28, 1, 2);
  return bmp;
}

TEST(PreviewPicture, APictureThatCannotBeUsedIsRefusedWithItsReason) {
  test::TempDir dir;
  const std::string pipe = dir.File("pipe.bmp");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string huge = dir.Write("huge.bmp", HugeOneBitBmpHeader());
  ASSERT_EQ(::truncate(huge.c_str(), 54 + 8 + 16384 * 2048), 0);  // the whole 1-bit picture, zeros
  const std::string big = dir.Write("big.bmp", "BM");
  ASSERT_EQ(::truncate(big.c_str(), (off_t{256} << 20) + 1), 0);
  const std::string bad = dir.Write("bad.bmp", "BMnot a picture");
  const std::pair<std::string, std::string> cases[] = {
      {pipe, "it is a named pipe (FIFO), not a regular file"},
      {huge, "it would be 16384 x 16384 pixels, more than the 64 megapixels a picture may have"},
      {big, "it is larger than 256 MiB"},
      {bad, "it is not a BMP picture this program can read"},
  };
  for (const auto& [path, reason] : cases) {
    const PreviewPicture picture = LoadPreviewPicture(VideoStandard::Pal, path);
    EXPECT_EQ(picture.problem, "The preview picture \"" + path + "\" cannot be used: " + reason +
                                   ". The built-in picture is shown instead.");
    EXPECT_EQ(picture.image, BuiltInPreviewBackground(VideoStandard::Pal)) << path;
  }
}

}  // namespace quillet
