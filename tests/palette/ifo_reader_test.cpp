#include "palette/ifo_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/errors.h"
#include "ifo_bytes.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::BuildIfoBytes;
using test::Grey;
using test::PutBigEndian;

constexpr std::array<uint32_t, 16> kMixedPalette = {
    Grey(16),   Grey(128),  Grey(235),  0x00518AF0, 0x00FF8081, 0x12345678, 0x00000000, 0xFFFFFFFF,
    0x00108080, 0x00EB8080, 0x00808080, 0x00A1B2C3, 0x00010203, 0x00FEDCBA, 0x00408080, 0x80808080};

TEST(ReadIfoFile, ReadsTheFirstProgramChainsColourTableAndVideoWord) {
  test::TempDir dir;
  for (test::IfoLayout layout : {test::IfoLayout{3, 0x1C4}, test::IfoLayout{1, 8}, test::IfoLayout{0, 0x300}}) {
    const std::string path = dir.Write("vts.ifo", BuildIfoBytes(kMixedPalette, 0x5300, layout));
    const IfoContents contents = ReadIfoFile(path);
    EXPECT_EQ(contents.palette, kMixedPalette) << layout.pgcitSector << " " << layout.firstPgcOffset;
    EXPECT_EQ(contents.videoAttributes, 0x5300);
  }
}

TEST(ReadIfoFile, RefusesEveryTruncationWithAClearMessage) {
  test::TempDir dir;
  const std::string whole = BuildIfoBytes(kMixedPalette, 0x4000);
  const std::size_t table = 3 * 2048;
  const std::size_t colours = table + 0x1C4 + 0xA4;
  ASSERT_EQ(whole.size(), colours + 64);  // the file ends with the last colour entry
  // Cut before or inside each field the reader needs (the video word at 0x200 lies before the table).
  for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{0xCC}, std::size_t{0xCF}, std::size_t{0x201},
                             table, table + 15, colours, colours + 30, whole.size() - 1}) {
    const std::string path = dir.Write("short.ifo", whole.substr(0, length));
    // Cut inside the fixed fields it is too short; cut later, a field points past its end, and that is said.
    const std::string pointer =
        length < table + 16 ? "its program chain table's sector" : "its first program chain's offset";
    const std::string expected =
        length < 0xD0 ? "\"" + path + "\" is too short to be a DVD title set information file."
                      : "\"" + path + "\" is cut short or is not a DVD title set information file: " + pointer +
                            " points to byte " + std::to_string(length < table + 16 ? table + 12 : colours) +
                            ", past the end of the file (" + std::to_string(length) + " bytes).";
    EXPECT_EQ(test::MessageOf([&] { ReadIfoFile(path); }), expected) << length;
  }
  EXPECT_NO_THROW(ReadIfoFile(dir.Write("whole.ifo", whole)));
}

TEST(ReadIfoFile, TheDiscsMenuFileIsRefusedNamingTheTitleSetsFile) {
  test::TempDir dir;
  std::string bytes = BuildIfoBytes(kMixedPalette, 0x5000);
  bytes.replace(0, 12, "DVDVIDEO-VMG");
  const std::string path = dir.Write("VIDEO_TS.IFO", bytes);
  EXPECT_EQ(test::MessageOf([&] { ReadIfoFile(path); }),
            "\"" + path +
                "\" is the DVD's menu information file (VIDEO_TS.IFO), which holds no subtitle colours: load the "
                "title set's VTS_xx_0.IFO instead (VTS_01_0.IFO for the first title).");
}

TEST(ReadIfoFile, RefusesOffsetsFarPastTheEndWithoutOverflow) {
  test::TempDir dir;
  struct Case {
    uint32_t sector, offset;
  } cases[] = {
      {0xFFFFFFFF, 0},          {0, 0xFFFFFFFF},
      {0xFFFFFFFF, 0xFFFFFFFF}, {0x00200000, 0},  // S * 2048 = 2^32: 32-bit arithmetic would wrap to offset 0
      {0, 0xFFFFFF5C},  // P + 0xA4 = 2^32: 32-bit arithmetic would read the colours at offset 0
  };
  for (const Case& c : cases) {
    std::string bytes = BuildIfoBytes(kMixedPalette, 0x5000, {0, 0x300});
    PutBigEndian(bytes, 0xCC, c.sector);
    PutBigEndian(bytes, 12, c.offset);  // read only when the sector is 0
    const std::string path = dir.Write("far.ifo", bytes);
    EXPECT_THROW(ReadIfoFile(path), FileError) << c.sector << " " << c.offset;
  }
}

TEST(ReadIfoFile, NamesAFileThatCannotBeOpened) {
  test::TempDir dir;
  for (const std::string& path : {dir.File("missing.ifo"), dir.Path().string()}) {
    try {
      ReadIfoFile(path);
      ADD_FAILURE() << "opened " << path;
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find("Cannot open the file \"" + path + "\": "), std::string::npos) << e.what();
    }
  }
}

// The ifo_*.ifo files under tests/data were written by dvdauthor from these palettes; other areas load them too.
TEST(ReadIfoFile, ReadsTheSampleFiles) {
  const IfoContents greys = ReadIfoFile(test::DataFile("ifo_greys_pal.ifo"));
  EXPECT_EQ(greys.palette,
            (std::array<uint32_t, 16>{Grey(16), Grey(128), Grey(235), Grey(128), 0x00515AF0, 0x002D5AF0}));
  EXPECT_EQ(DetectVideoStandard(greys.videoAttributes), VideoStandard::Pal);

  const IfoContents monochrome = ReadIfoFile(test::DataFile("ifo_monochrome_ntsc.ifo"));
  std::array<uint32_t, 16> midGreys;
  midGreys.fill(Grey(128));
  EXPECT_EQ(monochrome.palette, midGreys);
  EXPECT_EQ(DetectVideoStandard(monochrome.videoAttributes), VideoStandard::Ntsc);

  EXPECT_THROW(ReadIfoFile(test::DataFile("ifo_truncated.ifo")), FileError);
}

TEST(DetectVideoStandard, Bit12MeansPal) {
  EXPECT_EQ(DetectVideoStandard(0x5000), VideoStandard::Pal);
  EXPECT_EQ(DetectVideoStandard(0x4000), VideoStandard::Ntsc);
  EXPECT_EQ(DetectVideoStandard(0x1000), VideoStandard::Pal);
  EXPECT_EQ(DetectVideoStandard(0xEFFF), VideoStandard::Ntsc);
}

TEST(DetectDisplayAspect, Bits11And10Both1Mean16By9) {
  const std::pair<uint16_t, DisplayAspect> cases[] = {
      {0x5000, DisplayAspect::Standard4x3}, {0x5C00, DisplayAspect::Wide16x9},    {0x4C00, DisplayAspect::Wide16x9},
      {0x0C00, DisplayAspect::Wide16x9},    {0x5400, DisplayAspect::Standard4x3},  // 1: reserved
      {0x5800, DisplayAspect::Standard4x3},                                        // 2: reserved
      {0xF3FF, DisplayAspect::Standard4x3},
  };
  for (const auto& [word, aspect] : cases) EXPECT_EQ(DetectDisplayAspect(word), aspect) << std::hex << word;
}

}  // namespace
}  // namespace quillet
