// Reads IFO files written by a DVD authoring program (dvdauthor) from a palette and a video standard we chose.
#include <gtest/gtest.h>

#include <string>

#include "external_tools.h"
#include "ifo_bytes.h"
#include "palette/grey_band_roles.h"
#include "palette/ifo_reader.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::Grey;

class DvdauthorIfo : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"ffmpeg", "dvdauthor"}) {
      if (!test::HaveTool(tool)) GTEST_SKIP() << tool << " is not installed (Debian packages ffmpeg and dvdauthor)";
    }
  }
};

TEST_F(DvdauthorIfo, ReadsBackAPalPaletteAndAcceptsItsGreys) {
  const std::array<uint32_t, 16> palette = {0x00518AF0, Grey(235),  0x00FF8081, Grey(40),  Grey(128), Grey(16),
                                            0x00123456, 0x00ABCDEF, Grey(201),  Grey(70),  Grey(71),  Grey(200),
                                            0x00000000, 0x00FFFFFF, 0x00108080, 0x00EB8080};
  test::TempDir dir;
  const std::string ifo = test::AuthorTitleSet(dir, VideoStandard::Pal, palette);
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
  const std::string ifo = test::AuthorTitleSet(dir, VideoStandard::Ntsc, palette);
  ASSERT_FALSE(ifo.empty());
  const IfoContents contents = ReadIfoFile(ifo);
  EXPECT_EQ(contents.palette, palette);
  EXPECT_EQ(DetectVideoStandard(contents.videoAttributes), VideoStandard::Ntsc);
  const IfoPaletteChoice choice = ChooseIfoPalette(contents);
  EXPECT_TRUE(choice.monochromatic);
  EXPECT_EQ(choice.roles, kGenericRoles);
}

TEST_F(DvdauthorIfo, TheTitlesAspectComesFromItsVideoAttributes) {
  std::array<uint32_t, 16> palette;
  palette.fill(Grey(128));
  for (const DisplayAspect aspect : {DisplayAspect::Wide16x9, DisplayAspect::Standard4x3}) {
    test::TempDir dir;
    const std::string ifo = test::AuthorTitleSet(dir, VideoStandard::Pal, palette, aspect);
    ASSERT_FALSE(ifo.empty());
    EXPECT_EQ(ChooseIfoPalette(ReadIfoFile(ifo)).aspect, aspect);
  }
}

}  // namespace
}  // namespace quillet
