// Subtitles in Chinese, Hebrew and Arabic, converted by the built program and read back by ffmpeg's decoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "dvdsub_decoder.h"
#include "palette/grey_band_roles.h"
#include "palette/palette_display.h"
#include "render/subtitle_renderer.h"
#include "roundtrip_expectation.h"
#include "run_program.h"
#include "scripted_view.h"
#include "subtitle/subtitle.h"
#include "sup/role_colours.h"
#include "test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

// No IFO, PAL, four distinct colours (antialias 1, outline 2, text 3, background 0), font list item `font`,
// DEFAULT charset, Normal, size 20, center, offsets 30 and -4, outline 3.
std::vector<std::string> Job(const std::string& subtitle, int font) {
  return {"-1", "none", subtitle, "-1", "1", "2", "3", "0", std::to_string(font), "4", "0", "14", "0", "30", "-4", "1"};
}

// The text-role pixels (code 1) of a decoded picture: frame columns, and rows counted from the first such row.
std::vector<std::pair<int, int>> TextPixels(const test::DecodedSubpicture& picture) {
  std::vector<std::pair<int, int>> pixels;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (picture.pixels[static_cast<std::size_t>(y * picture.width + x)] == 1) pixels.emplace_back(y, picture.x + x);
    }
  }
  const int top = pixels.empty() ? 0 : pixels.front().first;
  for (auto& p : pixels) p.first -= top;
  return pixels;
}

int FontListIndex(FontEngine& engine, const std::string& family) {
  const std::vector<std::string> names = engine.FontNameList();
  const auto found = std::find(names.begin(), names.end(), family);
  return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

class TextScriptsProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
    subtitle = dir.File("scripts.srt");
    fs::copy_file(test::DataFile("text_scripts.srt"), subtitle);
    test::ScriptedView sink;
    document.LoadFromFile(subtitle, true, sink);
    ASSERT_EQ(document.Count(), 7);
  }

  std::vector<test::DecodedSubpicture> Decode(const std::string& supPath) {
    std::vector<test::DecodedSubpicture> pictures;
    for (const test::SupPacket& packet : test::SplitSupFile(test::ReadFile(supPath))) {
      pictures.push_back(test::DecodeDvdSubpicture(packet.unit, packet.pts90k));
    }
    return pictures;
  }

  RenderedFrame Render(int entry, const FontDesc& font) {
    const SubtitleLine& line = document.Lines[static_cast<std::size_t>(entry - 1)];
    return RenderFrame(engine, line.Line1, line.Line2,
                       RenderSettings{font, Alignment::Center, 30, -4, 3, VideoStandard::Pal, roles});
  }

  test::TempDir dir;
  std::string subtitle;
  TSubtitle document;
  FontEngine engine{FontOptions{"UTF-8"}};
  const RoleRgb roles = CaptureRoleColours(MakeGenericPalette().Colours(), 1, 2, 3);
};

TEST_F(TextScriptsProgram, EveryScriptDecodesToWhatTheLayoutDraws) {
  const test::ProgramRun run = test::RunQuilletProgram(Job(subtitle, 0));  // "Arial"
  ASSERT_EQ(run.status, 0) << run.err;
  // The one character no font has is told once, and the run still wrote every entry.
  EXPECT_NE(run.err.find("(U+10FFFD) first in entry 7."), std::string::npos) << run.err;
  const std::vector<test::DecodedSubpicture> pictures = Decode(dir.File("scripts.sup"));
  ASSERT_EQ(pictures.size(), 7u);
  const FontDesc arial;  // Arial 20, DEFAULT charset
  for (int entry = 1; entry <= 7; ++entry) {
    const test::ExpectedPicture expected = test::ExpectPicture(Render(entry, arial), roles);
    ASSERT_TRUE(expected.hasPicture) << "entry " << entry;
    test::ExpectSamePicture(pictures[static_cast<std::size_t>(entry - 1)], expected, "entry " + std::to_string(entry));
  }
  // Two Chinese characters, two different pictures: no empty boxes.
  EXPECT_NE(pictures[0].pixels, pictures[1].pixels);
}

TEST_F(TextScriptsProgram, ChineseWithArialShowsTheGlyphsOfTheFaceThatHasThem) {
  const int droid = FontListIndex(engine, "Droid Sans Fallback");
  if (droid < 0) GTEST_SKIP() << "fonts-droid-fallback is not installed";
  test::TempDir other;
  const std::string copy = other.File("scripts.srt");
  fs::copy_file(subtitle, copy);
  ASSERT_EQ(test::RunQuilletProgram(Job(subtitle, 0)).status, 0);
  ASSERT_EQ(test::RunQuilletProgram(Job(copy, droid)).status, 0);
  const auto withArial = Decode(dir.File("scripts.sup"));
  const auto withDroid = Decode(other.File("scripts.sup"));
  ASSERT_EQ(withArial.size(), 7u);
  ASSERT_EQ(withDroid.size(), 7u);
  for (std::size_t i : {0u, 1u}) {
    // The same glyph at the same x. Only the cell, and so the row and how much of the outline above the cell the
    // band keeps, follows the chosen face.
    const auto text = TextPixels(withArial[i]);
    EXPECT_FALSE(text.empty()) << "entry " << i + 1;
    EXPECT_EQ(text, TextPixels(withDroid[i])) << "entry " << i + 1;
  }
  EXPECT_NE(TextPixels(withArial[0]), TextPixels(withArial[1]));
}

}  // namespace
}  // namespace quillet
