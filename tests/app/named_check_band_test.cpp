// Tall marks on the first line through the built program: the subpicture keeps every row drawn, as ffmpeg's
// decoder shows it, and "quillet check" has nothing to say about them.
#include <gtest/gtest.h>

#include <string>

#include "dvdsub_decoder.h"
#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

// Marks that rise above the text cell: a Thai tone mark over sara am, an Arabic shadda, the tilde of a
// Vietnamese capital, Devanagari's i-sign, ring, tilde and hook over capitals (whose outline leaves the cell).
const char* const kTallLines[] = {
    "\xE0\xB8\x99\xE0\xB9\x89\xE0\xB8\xB3",                          // น้ำ
    "\xD8\xA7\xD9\x84\xD9\x84\xD9\x91\xD9\x87",                      // اللّه
    "\xE1\xBA\xAA\xC3\x85\xE1\xBB\x9E",                              // ẪÅỞ
    "\xE0\xA4\x95\xE0\xA4\xBF\xE0\xA4\xA4\xE0\xA4\xBE\xE0\xA4\xAC",  // किताब
};

// The rows of a decoded picture that hold any drawn pixel.
int DrawnRows(const test::DecodedSubpicture& picture) {
  int rows = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (picture.pixels[static_cast<std::size_t>(y * picture.width + x)] != 0) {
        ++rows;
        break;
      }
    }
  }
  return rows;
}

TEST(NamedConvert, TallMarksOnLineOneKeepEveryRowTheyHaveOnLineTwo) {
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  test::TempDir dir;
  // Each text twice: alone on line 1, then on line 2 under a line holding a no-break space only ("\h").
  std::string srt;
  int n = 0;
  for (const char* text : kTallLines) {
    for (const std::string& entry : {std::string(text), "\\h\\N" + std::string(text)}) {
      ++n;
      srt += std::to_string(n) + "\n00:00:0" + std::to_string(n) + ",000 --> 00:00:0" + std::to_string(n) + ",500\n" +
             entry + "\n\n";
    }
  }
  const std::string path = dir.Write("tall.srt", srt);
  for (const char* outline : {"2", "4"}) {
    const test::ProgramRun check = test::RunQuilletProgram({"check", "--size", "36", "--outline", outline, path});
    EXPECT_EQ(check.err, "") << outline;
    const test::ProgramRun convert =
        test::RunQuilletProgram({"convert", "-q", "--size", "36", "--outline", outline, path});
    ASSERT_EQ(convert.status, 0) << convert.err;
    const std::vector<test::SupPacket> packets = test::SplitSupFile(test::ReadFile(dir.File("tall.sup")));
    ASSERT_EQ(packets.size(), 2 * std::size(kTallLines));
    for (std::size_t i = 0; i < std::size(kTallLines); ++i) {
      const int upper = DrawnRows(test::DecodeDvdSubpicture(packets[2 * i].unit));
      const int lower = DrawnRows(test::DecodeDvdSubpicture(packets[2 * i + 1].unit));
      EXPECT_GT(upper, 0) << kTallLines[i];
      EXPECT_EQ(upper, lower) << kTallLines[i] << ", outline " << outline;
    }
  }
}

// A third line, a third "\\N", a line of only a no-break space that pushes the text down, and control
// characters: the picture keeps two lines and leaves the controls out, and both the run and check say so.
TEST(NamedConvert, ThirdLinesAndControlCharactersAreNamed) {
  test::TempDir dir;
  const std::string srt = dir.Write("more.srt",
                                    "1\n00:00:01,000 --> 00:00:02,000\nOne\nTwo\nThree\n\n"
                                    "2\n00:00:03,000 --> 00:00:04,000\na\tb\x07"
                                    "c\x1B[1m\n\n"
                                    "3\n00:00:05,000 --> 00:00:06,000\nOne\\NTwo\\NThree\n\n"
                                    "4\n00:00:07,000 --> 00:00:08,000\n\xC2\xA0\nHello\nWorld\n");
  const test::ProgramRun check = test::RunQuilletProgram({"check", srt});
  EXPECT_EQ(check.status, 1);
  EXPECT_EQ(check.err, srt + ": entry 1: has more than two lines; only the first two are drawn\n" + srt +
                           ": entry 2: the control character U+0007 is not drawn\n" + srt +
                           ": entry 2: the control character U+001B is not drawn\n" + srt +
                           ": entry 3: has more than two lines; only the first two are drawn\n" + srt +
                           ": entry 4: has more than two lines; only the first two are drawn\n");
  const test::ProgramRun convert = test::RunQuilletProgram({"convert", "-q", srt});
  EXPECT_EQ(convert.status, 0);
  EXPECT_EQ(convert.err, srt +
                             ": These control characters are not drawn (a tab is drawn as a space): U+0007 first in "
                             "entry 2; U+001B first in entry 2.\n" +
                             srt +
                             ": 3 entries had more than two lines; only the first two are drawn: entry 1; "
                             "entry 3; entry 4.\n");
}

}  // namespace
}  // namespace quillet
