// Through the built program: tall marks on the first line keep every row (as ffmpeg's decoder shows them), and
// third lines and control characters are named by the run and by check.
#include <gtest/gtest.h>

#include <string>

#include "dvdsub_decoder.h"
#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

// Each text alone on line 1, then on line 2 under a line of only a no-break space ("\h"): น้ำ (a Thai tone mark
// over sara am), اللّه (a shadda), ẪÅỞ (marks over capitals, whose outline leaves the cell), किताब (the i-sign).
TEST(NamedConvert, TallMarksOnLineOneKeepEveryRowTheyHaveOnLineTwo) {
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  const std::string texts[] = {"\xE0\xB8\x99\xE0\xB9\x89\xE0\xB8\xB3", "\xD8\xA7\xD9\x84\xD9\x84\xD9\x91\xD9\x87",
                               "\xE1\xBA\xAA\xC3\x85\xE1\xBB\x9E",
                               "\xE0\xA4\x95\xE0\xA4\xBF\xE0\xA4\xA4\xE0\xA4\xBE\xE0\xA4\xAC"};
  test::TempDir dir;
  std::string srt;
  for (int n = 0; n < 8; ++n) {
    srt += "00:00:0" + std::to_string(n) + ",000 --> 00:00:0" + std::to_string(n) + ",500\n" + (n % 2 ? "\\h\\N" : "") +
           texts[n / 2] + "\n\n";
  }
  const std::string path = dir.Write("tall.srt", srt);
  EXPECT_EQ(test::RunQuilletProgram({"check", "--size", "36", "--outline", "4", path}).err, "");
  ASSERT_EQ(test::RunQuilletProgram({"convert", "-q", "--size", "36", "--outline", "4", path}).status, 0);
  const std::vector<test::SupPacket> packets = test::SplitSupFile(test::ReadFile(dir.File("tall.sup")));
  ASSERT_EQ(packets.size(), 8u);
  auto drawnRows = [&](std::size_t i) {
    const test::DecodedSubpicture picture = test::DecodeDvdSubpicture(packets[i].unit);
    int rows = 0;
    for (int y = 0; y < picture.height; ++y) {
      const auto row = picture.pixels.begin() + y * picture.width;
      rows += std::any_of(row, row + picture.width, [](uint8_t code) { return code != 0; });
    }
    return rows;
  };
  for (std::size_t i = 0; i < 8; i += 2) {
    EXPECT_GT(drawnRows(i), 0);
    EXPECT_EQ(drawnRows(i), drawnRows(i + 1)) << texts[i / 2];
  }
}

// A third line, a third "\N", a line of only a no-break space that pushes the text down; BEL and ESC among text.
// Third lines are drawn unless --plain.
TEST(NamedConvert, ThirdLinesAndControlCharactersAreNamed) {
  test::TempDir dir;
  const std::string srt = dir.Write("more.srt",
                                    "00:00:01,000 --> 00:00:02,000\nOne\nTwo\nThree\n\n"
                                    "00:00:03,000 --> 00:00:04,000\na\tb\x07"
                                    "c\x1B[1m\n\n00:00:05,000 --> 00:00:06,000\nOne\\NTwo\\NThree\n\n"
                                    "00:00:07,000 --> 00:00:08,000\n\xC2\xA0\nHello\nWorld\n");
  const std::string more = ": has more than two lines; only the first two are drawn\n";
  const std::string controls = srt + ": entry 2: the control character U+0007 is not drawn\n" + srt +
                               ": entry 2: the control character U+001B is not drawn\n";
  EXPECT_EQ(test::RunQuilletProgram({"check", srt}).err, controls);
  EXPECT_EQ(test::RunQuilletProgram({"check", "--plain", srt}).err,
            srt + ": entry 1" + more + srt + ": entry 2: the control character U+0007 is not drawn\n" + srt +
                ": entry 2: the control character U+001B is not drawn\n" + srt + ": entry 3" + more + srt +
                ": entry 4" + more);
  // The run's notice of third lines is checked with the code pages.
  EXPECT_TRUE(test::Contains(test::RunQuilletProgram({"convert", "-q", srt}).err,
                             srt + ": These control characters are not drawn (a tab is drawn as a space): U+0007 "
                                   "first in entry 2; U+001B first in entry 2.\n"));
}

}  // namespace
}  // namespace quillet
