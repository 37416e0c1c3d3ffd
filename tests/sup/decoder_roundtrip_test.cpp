// Our units decoded by ffmpeg's DVD subtitle decoder: picture, position and duration must come back.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "dvdsub_decoder.h"
#include "reference_coder.h"
#include "roundtrip_expectation.h"
#include "run/generation_run.h"
#include "sup/role_colours.h"
#include "sup/subpicture_unit.h"
#include "synthetic_frame.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::DecodedSubpicture;

using test::DecoderMs;
using test::ExpectSamePicture;

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
  unsigned seed = 0;
  for (const Case& c : cases) {
    for (int variant = 0; variant < 3; ++variant) {
      const RenderedFrame frame = test::SyntheticFrame(c.standard, c.bandTop, c.bandHeight, ++seed);
      const PixelData pixels = EncodeFrameBand(frame, test::kTestRoles);
      const uint16_t delay = DisplayDelay(1000, 1000 + 700 * (variant + 1));
      const auto unit = BuildSubpictureUnit(pixels, c.bandTop, c.bandHeight, PaletteEntries{1, 2, 3, 0}, delay);
      const std::string what =
          "band " + std::to_string(c.bandTop) + "+" + std::to_string(c.bandHeight) + " #" + std::to_string(variant);
      const DecodedSubpicture decoded = test::DecodeDvdSubpicture(unit);
      ExpectSamePicture(decoded, test::ExpectPicture(frame, test::kTestRoles), what);
      EXPECT_EQ(decoded.startDisplayMs, 0u) << what;
      EXPECT_EQ(decoded.endDisplayMs, DecoderMs(delay)) << what;
    }
  }
}

TEST_F(DecoderRoundTrip, AnAllBackgroundBandShowsNothing) {
  RenderedFrame frame;
  frame.frame = Image24(kFrameWidth, 576, kFrameBlue);
  frame.bandTop = 300;
  frame.bandHeight = 40;
  const PixelData pixels = EncodeFrameBand(frame, test::kTestRoles);
  const auto unit = BuildSubpictureUnit(pixels, 300, 40, PaletteEntries{1, 2, 3, 0}, 90);
  EXPECT_FALSE(test::DecodeDvdSubpicture(unit).hasPicture);
}

TEST_F(DecoderRoundTrip, AWrittenSupFileDecodesEntryForEntry) {
  test::TempDir dir;
  GenerationJob job;
  job.entryCount = 8;
  auto frameOf = [](int i) {
    const VideoStandard standard = i % 2 ? VideoStandard::Pal : VideoStandard::Ntsc;
    return test::SyntheticFrame(standard, 300 + 2 * i, 60 + i, 100 + i);
  };
  job.encode = test::EachFrame(frameOf);
  job.entry = [](int i) { return GenerationEntry{std::to_string(i * 4000), std::to_string(i * 4000 + 1000 * i), ""}; };
  job.palette = PaletteEntries{1, 2, 3, 0};
  job.paths.supPath = dir.File("synthetic.sup");
  ASSERT_EQ(RunGeneration(job, {}).status, GenerationStatus::Completed);

  const auto packets = test::SplitSupFile(test::ReadFile(job.paths.supPath));
  ASSERT_EQ(packets.size(), 8u);
  for (int i = 1; i <= 8; ++i) {
    const auto& packet = packets[static_cast<std::size_t>(i - 1)];
    EXPECT_EQ(packet.pts90k, static_cast<uint32_t>(i * 4000 * 90));
    const DecodedSubpicture decoded = test::DecodeDvdSubpicture(packet.unit, packet.pts90k);
    ExpectSamePicture(decoded, test::ExpectPicture(frameOf(i), test::kTestRoles), "entry " + std::to_string(i));
    EXPECT_NEAR(decoded.endDisplayMs, 1000.0 * i, kDelayTickMs) << i;  // within a player's tick of its end
  }
}

}  // namespace
}  // namespace quillet
