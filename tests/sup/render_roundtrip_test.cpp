// A subtitle file rendered with the real frame renderer, written as a SUP file and decoded back by ffmpeg.
#include <gtest/gtest.h>

#include "base/message_sink.h"
#include "dvdsub_decoder.h"
#include "palette/grey_band_roles.h"
#include "palette/palette_display.h"
#include "render/font_engine.h"
#include "render/font_engine_pool.h"
#include "render/subtitle_renderer.h"
#include "roundtrip_expectation.h"
#include "run/generation_run.h"
#include "scripted_view.h"
#include "subtitle/subtitle.h"
#include "sup/role_colours.h"
#include "test_support.h"

namespace quillet {
namespace {

struct RoundTripSetup {
  VideoStandard standard;
  int outlineWidthPx;
  RoleSelection roles;
  int workers;
};

std::string Describe(const RoundTripSetup& s) {
  return std::string(s.standard == VideoStandard::Pal ? "PAL" : "NTSC") + " outline " +
         std::to_string(s.outlineWidthPx) + " roles " + std::to_string(s.roles.background) +
         std::to_string(s.roles.text) + std::to_string(s.roles.outline) + std::to_string(s.roles.antialias);
}

class RenderRoundTrip : public ::testing::TestWithParam<RoundTripSetup> {
 protected:
  void SetUp() override {
    if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  }
};

TEST_P(RenderRoundTrip, EveryEntryDecodesToTheFrameItWasRenderedFrom) {
  const RoundTripSetup setup = GetParam();
  test::ScriptedView sink;
  TSubtitle document;
  document.LoadFromFile(test::DataFile("sup_roundtrip.srt"), true, sink);
  ASSERT_EQ(document.Count(), 5);

  const std::array<Rgb, 16> swatches = MakeGenericPalette().Colours();
  const RoleRgb roles = CaptureRoleColours(swatches, setup.roles.antialias, setup.roles.outline, setup.roles.text);
  const FontDesc font;  // Arial 20, DEFAULT charset, normal style
  auto render = [&](FontEngine& engine, int i) {
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(i - 1)];
    return RenderFrame(engine, line.Line1, line.Line2,
                       RenderSettings{font, Alignment::Center, 30, -4, setup.outlineWidthPx, setup.standard, roles});
  };

  test::TempDir dir;
  FontEnginePerThread engines;
  GenerationJob job;
  job.entryCount = document.Count();
  // As the run codes it: straight from each entry's passes, with no frame painted.
  const PaintCodes codes = PaintCodesFor(roles);
  job.encode = [&](int i, EncodedEntry& out) {
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(i - 1)];
    EntryPasses passes;
    RenderEntryPasses(engines.ForThisThread(), line.Line1, line.Line2,
                      RenderSettings{font, Alignment::Center, 30, -4, setup.outlineWidthPx, setup.standard, roles},
                      passes);
    EncodePasses(passes, codes, out);
  };
  job.entry = [&](int i) {
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(i - 1)];
    return GenerationEntry{line.StartTime, line.EndTime, line.Line1};
  };
  job.palette = PaletteEntries{setup.roles.antialias, setup.roles.outline, setup.roles.text, setup.roles.background};
  job.paths.supPath = dir.File("roundtrip.sup");
  job.workerThreads = setup.workers;
  const GenerationOutcome outcome = RunGeneration(job, {});
  ASSERT_EQ(outcome.status, GenerationStatus::Completed) << outcome.message;

  const auto packets = test::SplitSupFile(test::ReadFile(job.paths.supPath));
  ASSERT_EQ(packets.size(), 5u);
  FontEngine engine;  // a separate engine, and a fresh frame per entry, draw the same pixels
  const int timeOrder[] = {1, 2, 4, 3, 5};  // entry 4 starts before entry 3: the packets go by time
  for (std::size_t k = 0; k < packets.size(); ++k) {
    const int i = timeOrder[k];
    const std::string what = Describe(setup) + ", entry " + std::to_string(i);
    const auto& packet = packets[k];
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(i - 1)];
    const double startMs = std::stod(line.StartTime);
    const double endMs = std::stod(line.EndTime);
    EXPECT_EQ(packet.pts90k, static_cast<uint32_t>(startMs * 90)) << what;

    const RenderedFrame frame = render(engine, i);
    const test::ExpectedPicture expected = test::ExpectPicture(frame, roles);
    ASSERT_TRUE(expected.hasPicture) << what;
    const test::DecodedSubpicture decoded = test::DecodeDvdSubpicture(packet.unit, packet.pts90k);
    test::ExpectSamePicture(decoded, expected, what);
    // A player takes the subtitle down within one of its delay ticks of the file's end time.
    EXPECT_NEAR(packet.pts90k / 90.0 + decoded.endDisplayMs, endMs, kDelayTickMs) << what;
    // The picture lies within the band, and the band within the frame.
    EXPECT_GE(decoded.y, frame.bandTop) << what;
    EXPECT_LE(decoded.y + decoded.height, frame.bandTop + frame.bandHeight) << what;
    EXPECT_LE(frame.bandTop + frame.bandHeight, FrameHeight(setup.standard)) << what;
  }
}

std::vector<RoundTripSetup> Setups() {
  std::vector<RoundTripSetup> setups;
  for (VideoStandard standard : {VideoStandard::Pal, VideoStandard::Ntsc}) {
    for (int width : {2, 3, 4}) setups.push_back(RoundTripSetup{standard, width, kGenericRoles, 2});
  }
  // Four distinct colours, so every role code shows; sequential, as the window runs it when showing frames.
  setups.push_back(RoundTripSetup{VideoStandard::Pal, 3, RoleSelection{0, 3, 2, 1}, 0});
  setups.push_back(RoundTripSetup{VideoStandard::Ntsc, 4, RoleSelection{0, 3, 2, 1}, 0});
  return setups;
}

INSTANTIATE_TEST_SUITE_P(StandardsAndOutlines, RenderRoundTrip, ::testing::ValuesIn(Setups()));

}  // namespace
}  // namespace quillet
