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

}  // namespace
}  // namespace quillet
