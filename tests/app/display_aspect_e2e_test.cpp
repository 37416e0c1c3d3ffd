// "quillet convert --aspect 16:9" through the built program, its output decoded by ffmpeg: the text drawn 3/4 as
// wide at its full height, and a 16:9 title's IFO choosing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "dvdsub_decoder.h"
#include "external_tools.h"
#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::ReadFile;
using test::RunQuilletProgram;
using test::TempDir;

// The width and height of the box around the pixels of the brightest colour the decoder shows (the text role of
// the grey palettes).
std::pair<int, int> DecodedTextBox(const std::string& supPath) {
  const std::vector<test::SupPacket> packets = test::SplitSupFile(ReadFile(supPath));
  EXPECT_EQ(packets.size(), 1u) << supPath;
  if (packets.empty()) return {};
  const test::DecodedSubpicture picture = test::DecodeDvdSubpicture(packets[0].unit, packets[0].pts90k);
  auto brightness = [&](int code) {
    const uint32_t argb = picture.palette[code];
    return (argb >> 24) == 0 ? -1 : static_cast<int>(((argb >> 16) & 0xFF) + ((argb >> 8) & 0xFF) + (argb & 0xFF));
  };
  int text = 0;
  for (int code = 1; code < 4; ++code) text = brightness(code) > brightness(text) ? code : text;
  int left = picture.width, right = -1, top = picture.height, bottom = -1;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (picture.pixels[static_cast<std::size_t>(y * picture.width + x)] != text) continue;
      left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  return {right - left + 1, bottom - top + 1};
}

// Converts one entry, written as `name`.srt, with `options`; returns the SUP's path.
std::string Convert(const TempDir& dir, const std::string& name, std::vector<std::string> options) {
  options.insert(options.begin(), {"convert", "-q"});
  options.push_back(
      dir.Write(name + ".srt", "1\n00:00:01,000 --> 00:00:03,000\nWidescreen pictures stretch every letter\n"));
  EXPECT_EQ(RunQuilletProgram(options).status, 0) << name;
  return dir.File(name + ".sup");
}

TEST(DisplayAspectProgram, SixteenByNineDrawsTheTextThreeQuartersAsWideAtItsHeight) {
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  TempDir dir;
  const auto [width, height] = DecodedTextBox(Convert(dir, "standard", {"--aspect", "4:3"}));
  const auto [wideWidth, wideHeight] = DecodedTextBox(Convert(dir, "wide", {"--aspect", "16:9"}));
  EXPECT_GT(width, 300);
  EXPECT_NEAR(wideWidth, width * 3.0 / 4.0, 2.0) << width;
  EXPECT_EQ(wideHeight, height);
}

TEST(DisplayAspectProgram, ASixteenByNineTitlesIfoChoosesTheSqueezeWhateverAspectIsGiven) {
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  for (const char* tool : {"ffmpeg", "dvdauthor"}) {
    if (!test::HaveTool(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  TempDir dir;
  std::array<uint32_t, 16> palette{};  // greys: Y in the top byte but one
  palette.fill(16 << 16 | 0x8080);
  palette[1] = 128 << 16 | 0x8080;
  palette[2] = 235 << 16 | 0x8080;
  const std::string ifo = test::AuthorTitleSet(dir, VideoStandard::Pal, palette, DisplayAspect::Wide16x9);
  ASSERT_FALSE(ifo.empty());
  const std::string fromIfo = Convert(dir, "ifo", {"--ifo", ifo, "--aspect", "4:3"});
  EXPECT_EQ(ReadFile(fromIfo), ReadFile(Convert(dir, "given", {"--ifo", ifo, "--aspect", "16:9"})));
  EXPECT_EQ(DecodedTextBox(fromIfo).first,
            DecodedTextBox(Convert(dir, "generic", {"--generic", "--aspect", "16:9"})).first);
}

}  // namespace
}  // namespace quillet
