// Reads IFO files written by a DVD authoring program (dvdauthor) from a palette and a video standard we chose.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ifo_bytes.h"
#include "palette/grey_band_roles.h"
#include "palette/ifo_reader.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::Grey;

bool HaveTool(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

// Runs a shell command quietly; on failure the test fails with the command and its output.
bool Run(const std::string& command, const std::string& logPath) {
  const int status = std::system((command + " >" + Quote(logPath) + " 2>&1 </dev/null").c_str());
  if (status != 0) {
    std::string log;
    try {
      log = test::ReadFile(logPath);
    } catch (...) {
    }
    ADD_FAILURE() << "failed (" << status << "): " << command << "\n" << log;
    return false;
  }
  return true;
}

// A one-second black MPEG-2 program stream authored into a title set with `palette` (written as 6-digit
// Y Cr Cb lines; dvdauthor takes a palette file as YUV unless its name ends in .rgb). Returns VTS_01_0.IFO.
std::string AuthorTitleSet(const test::TempDir& dir, VideoStandard standard, const std::array<uint32_t, 16>& palette) {
  const bool pal = standard == VideoStandard::Pal;
  std::string lines;
  for (uint32_t entry : palette) {
    char line[16];
    std::snprintf(line, sizeof line, "%06X\n", static_cast<unsigned>(entry & 0xFFFFFF));
    lines += line;
  }
  const std::string paletteFile = dir.Write("palette.yuv", lines);
  const std::string video = dir.File("video.mpg");
  const std::string out = dir.File("dvd");
  const std::string log = dir.File("log.txt");
  const std::string ffmpeg = std::string("ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i color=c=black:s=") +
                             (pal ? "720x576:r=25" : "720x480:r=30000/1001") + ":d=1 -target " +
                             (pal ? "pal-dvd" : "ntsc-dvd") + " -y " + Quote(video);
  if (!Run(ffmpeg, log)) return {};
  const std::string dvdauthor = "dvdauthor -o " + Quote(out) + " -t -v " + (pal ? "pal" : "ntsc") + " -p " +
                                Quote(paletteFile) + " " + Quote(video);
  if (!Run(dvdauthor, log)) return {};
  return out + "/VIDEO_TS/VTS_01_0.IFO";
}

class DvdauthorIfo : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"ffmpeg", "dvdauthor"}) {
      if (!HaveTool(tool)) GTEST_SKIP() << tool << " is not installed (Debian packages ffmpeg and dvdauthor)";
    }
  }
};

TEST_F(DvdauthorIfo, ReadsBackAPalPaletteAndAcceptsItsGreys) {
  const std::array<uint32_t, 16> palette = {0x00518AF0, Grey(235),  0x00FF8081, Grey(40),  Grey(128), Grey(16),
                                            0x00123456, 0x00ABCDEF, Grey(201),  Grey(70),  Grey(71),  Grey(200),
                                            0x00000000, 0x00FFFFFF, 0x00108080, 0x00EB8080};
  test::TempDir dir;
  const std::string ifo = AuthorTitleSet(dir, VideoStandard::Pal, palette);
  ASSERT_FALSE(ifo.empty());
  const IfoContents contents = ReadIfoFile(ifo);
  EXPECT_EQ(contents.palette, palette);
  EXPECT_EQ(DetectVideoStandard(contents.videoAttributes), VideoStandard::Pal);
  const IfoPaletteChoice choice = ChooseIfoPalette(contents);
  EXPECT_FALSE(choice.monochromatic);
  EXPECT_EQ(choice.roles, (RoleSelection{.background = 3, .text = 1, .outline = 3, .antialias = 4}));
}

TEST_F(DvdauthorIfo, ReadsBackAnNtscPaletteAndRejectsAMonochromeOne) {
  std::array<uint32_t, 16> palette;
  palette.fill(Grey(128));
  palette[5] = 0x00FF8081;
  test::TempDir dir;
  const std::string ifo = AuthorTitleSet(dir, VideoStandard::Ntsc, palette);
  ASSERT_FALSE(ifo.empty());
  const IfoContents contents = ReadIfoFile(ifo);
  EXPECT_EQ(contents.palette, palette);
  EXPECT_EQ(DetectVideoStandard(contents.videoAttributes), VideoStandard::Ntsc);
  const IfoPaletteChoice choice = ChooseIfoPalette(contents);
  EXPECT_TRUE(choice.monochromatic);
  EXPECT_EQ(choice.roles, kGenericRoles);
}

}  // namespace
}  // namespace quillet
