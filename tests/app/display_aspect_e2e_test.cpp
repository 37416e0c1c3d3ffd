// "quillet convert --aspect 16:9" through the built program, its output decoded by ffmpeg: the text drawn 3/4 as
// wide at its full height, a third more of it fitting a line, and a 16:9 title's IFO choosing it.
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

using test::ProgramRun;
using test::ReadFile;
using test::RunQuilletProgram;
using test::TempDir;

// The box around the pixels of the brightest colour the decoder shows (the text role of the grey palettes).
struct TextBox {
  int width = 0;
  int height = 0;
};

TextBox DecodedTextBox(const std::string& supPath) {
  const std::vector<test::SupPacket> packets = test::SplitSupFile(ReadFile(supPath));
  EXPECT_EQ(packets.size(), 1u) << supPath;
  if (packets.empty()) return {};
  const test::DecodedSubpicture picture = test::DecodeDvdSubpicture(packets[0].unit, packets[0].pts90k);
  EXPECT_TRUE(picture.hasPicture) << supPath;
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

constexpr uint32_t Grey(uint32_t y) { return (y << 16) | 0x8080; }

std::string OneEntry(const std::string& line) { return "1\n00:00:01,000 --> 00:00:03,000\n" + line + "\n"; }

class DisplayAspectProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  }
  TempDir dir;
};

TEST_F(DisplayAspectProgram, SixteenByNineDrawsTheTextThreeQuartersAsWideAtItsHeight) {
  const std::string line = "Widescreen pictures stretch every letter";
  const std::string standard = dir.Write("standard.srt", OneEntry(line));
  const std::string wide = dir.Write("wide.srt", OneEntry(line));
  ASSERT_EQ(RunQuilletProgram({"convert", "-q", standard, "--aspect", "4:3"}).status, 0);
  ASSERT_EQ(RunQuilletProgram({"convert", "-q", wide, "--aspect", "16:9"}).status, 0);
  const TextBox a = DecodedTextBox(dir.File("standard.sup"));
  const TextBox b = DecodedTextBox(dir.File("wide.sup"));
  EXPECT_GT(a.width, 300);
  EXPECT_NEAR(b.width, a.width * 3.0 / 4.0, 2.0) << a.width;
  EXPECT_EQ(b.height, a.height);
}

TEST_F(DisplayAspectProgram, AThirdMoreTextFitsASixteenByNineLine) {
  const std::string srt = dir.Write("long.srt", OneEntry(std::string(30, 'W')));  // 750 pixels at 4:3
  const ProgramRun standard = RunQuilletProgram({"convert", "-q", srt});
  EXPECT_EQ(standard.status, 1);
  EXPECT_TRUE(test::Contains(standard.err, "entry 1: line 1 is ")) << standard.err;
  EXPECT_EQ(RunQuilletProgram({"convert", "-q", srt, "--aspect", "16:9"}).status, 0);
  EXPECT_EQ(test::SplitSupFile(ReadFile(dir.File("long.sup"))).size(), 1u);
}

TEST_F(DisplayAspectProgram, ASixteenByNineTitlesIfoChoosesTheSqueezeWhateverAspectIsGiven) {
  for (const char* tool : {"ffmpeg", "dvdauthor"}) {
    if (!test::HaveTool(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  std::array<uint32_t, 16> palette{};
  palette.fill(Grey(16));
  palette[1] = Grey(128);
  palette[2] = Grey(235);
  const std::string ifo = test::AuthorTitleSet(dir, VideoStandard::Pal, palette, DisplayAspect::Wide16x9);
  ASSERT_FALSE(ifo.empty());
  const std::string line = "The title decides the aspect";
  const std::string fromIfo = dir.Write("ifo.srt", OneEntry(line));
  const std::string given = dir.Write("given.srt", OneEntry(line));
  ASSERT_EQ(RunQuilletProgram({"convert", "-q", "--ifo", ifo, "--aspect", "4:3", fromIfo}).status, 0);
  ASSERT_EQ(RunQuilletProgram({"convert", "-q", "--ifo", ifo, "--aspect", "16:9", given}).status, 0);
  EXPECT_EQ(ReadFile(dir.File("ifo.sup")), ReadFile(dir.File("given.sup")));
  const std::string generic = dir.Write("generic.srt", OneEntry(line));
  ASSERT_EQ(RunQuilletProgram({"convert", "-q", "--generic", "--aspect", "16:9", generic}).status, 0);
  EXPECT_EQ(DecodedTextBox(dir.File("ifo.sup")).width, DecodedTextBox(dir.File("generic.sup")).width);
}

}  // namespace
}  // namespace quillet
