// Our units decoded by ffmpeg's DVD subtitle decoder: picture, position and duration must come back.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "dvdsub_decoder.h"
#include "sup/entry_encoder.h"
#include "sup/generation_run.h"
#include "sup/role_colours.h"
#include "sup/subpicture_unit.h"
#include "synthetic_frame.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::DecodedSubpicture;

// What a decoder should show for a frame: the role codes of the band, column 719 background, cropped to the
// smallest rectangle holding every non-background pixel (the background is fully transparent).
struct ExpectedPicture {
  bool hasPicture = false;
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

ExpectedPicture Expect(const RenderedFrame& frame, const RoleRgb& roles) {
  auto code = [&](int x, int y) -> uint8_t {
    if (x >= kCodedRowPixels) return 0;
    const Rgb p = frame.frame.Pixel(x, y);
    return ClassifyPixel(roles, p.r, p.g, p.b);
  };
  int left = kFrameWidth, right = -1, top = -1, bottom = -1;
  for (int y = frame.bandTop; y < frame.bandTop + frame.bandHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      if (code(x, y) == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      if (top < 0) top = y;
      bottom = y;
    }
  }
  ExpectedPicture picture;
  if (right < 0) return picture;
  picture = {true, left, top, right - left + 1, bottom - top + 1, {}};
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) picture.pixels.push_back(code(x, y));
  return picture;
}

void ExpectSamePicture(const DecodedSubpicture& decoded, const ExpectedPicture& expected, const std::string& what) {
  ASSERT_EQ(decoded.hasPicture, expected.hasPicture) << what;
  if (!expected.hasPicture) return;
  // Contrast: background fully transparent, the three drawn roles fully opaque.
  EXPECT_EQ(decoded.palette[0] >> 24, 0u) << what;
  for (int i = 1; i < 4; ++i) EXPECT_EQ(decoded.palette[i] >> 24, 0xFFu) << what << " colour " << i;
  EXPECT_EQ(decoded.x, expected.x) << what;
  EXPECT_EQ(decoded.y, expected.y) << what;
  ASSERT_EQ(decoded.width, expected.width) << what;
  ASSERT_EQ(decoded.height, expected.height) << what;
  std::size_t mismatches = 0;
  for (std::size_t i = 0; i < expected.pixels.size(); ++i) mismatches += decoded.pixels[i] != expected.pixels[i];
  EXPECT_EQ(mismatches, 0u) << what;
}

// ffmpeg counts a display delay in ticks of 1024/90000 s.
uint32_t DecoderMs(uint16_t delay) { return (uint32_t{delay} << 10) / 90; }

class DecoderRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  }
};

TEST_F(DecoderRoundTrip, SyntheticFramesComeBackPixelForPixel) {
  struct Case {
    VideoStandard standard;
    int bandTop;
    int bandHeight;
  };
  const Case cases[] = {{VideoStandard::Pal, 436, 70}, {VideoStandard::Pal, 436, 71},  {VideoStandard::Pal, 0, 33},
                        {VideoStandard::Pal, 506, 70}, {VideoStandard::Ntsc, 380, 64}, {VideoStandard::Ntsc, 402, 77},
                        {VideoStandard::Ntsc, 478, 2}, {VideoStandard::Pal, 200, 3}};
  EntryEncoder encoder(test::kTestRoles);
  unsigned seed = 0;
  for (const Case& c : cases) {
    for (int variant = 0; variant < 3; ++variant) {
      const RenderedFrame frame = test::SyntheticFrame(c.standard, c.bandTop, c.bandHeight, ++seed);
      PixelData pixels;
      encoder.Encode(frame, pixels);
      const uint16_t delay = DisplayDelay(1000, 1000 + 700 * (variant + 1));
      const auto unit = BuildSubpictureUnit(pixels, c.bandTop, c.bandHeight, PaletteEntries{1, 2, 3, 0}, delay);
      const std::string what =
          "band " + std::to_string(c.bandTop) + "+" + std::to_string(c.bandHeight) + " #" + std::to_string(variant);
      const DecodedSubpicture decoded = test::DecodeDvdSubpicture(unit);
      ExpectSamePicture(decoded, Expect(frame, test::kTestRoles), what);
      EXPECT_EQ(decoded.startDisplayMs, 0u) << what;
      EXPECT_EQ(decoded.endDisplayMs, DecoderMs(delay)) << what;
    }
  }
}

TEST_F(DecoderRoundTrip, AnAllBackgroundBandShowsNothing) {
  const RenderedFrame frame{Image24(kFrameWidth, 576, kFrameBlue), 300, 40};
  PixelData pixels;
  EntryEncoder(test::kTestRoles).Encode(frame, pixels);
  const auto unit = BuildSubpictureUnit(pixels, 300, 40, PaletteEntries{1, 2, 3, 0}, 90);
  EXPECT_FALSE(test::DecodeDvdSubpicture(unit).hasPicture);
}

TEST_F(DecoderRoundTrip, AWrittenSupFileDecodesEntryForEntry) {
  test::TempDir dir;
  GenerationJob job;
  job.entryCount = 8;
  job.render = [](int i) {
    const VideoStandard standard = i % 2 ? VideoStandard::Pal : VideoStandard::Ntsc;
    return test::SyntheticFrame(standard, 300 + 2 * i, 60 + i, 100 + i);
  };
  job.entry = [](int i) { return GenerationEntry{std::to_string(i * 4000), std::to_string(i * 4000 + 1000 * i), ""}; };
  job.roles = test::kTestRoles;
  job.palette = PaletteEntries{1, 2, 3, 0};
  job.supPath = dir.File("synthetic.sup");
  ASSERT_EQ(RunGeneration(job, {}).status, GenerationStatus::Completed);

  const auto packets = test::SplitSupFile(test::ReadFile(job.supPath));
  ASSERT_EQ(packets.size(), 8u);
  for (int i = 1; i <= 8; ++i) {
    const auto& packet = packets[static_cast<std::size_t>(i - 1)];
    EXPECT_EQ(packet.pts90k, static_cast<uint32_t>(i * 4000 * 90));
    const DecodedSubpicture decoded = test::DecodeDvdSubpicture(packet.unit, packet.pts90k);
    ExpectSamePicture(decoded, Expect(job.render(i), job.roles), "entry " + std::to_string(i));
    EXPECT_EQ(decoded.endDisplayMs, DecoderMs(static_cast<uint16_t>(i * 90))) << i;
  }
}

}  // namespace
}  // namespace quillet
