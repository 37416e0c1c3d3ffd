// Through the built program: a Blu-ray SUP file read back by ffmpeg's PGS decoder gives, display set by display
// set, the picture the antialiased drawing composited, at its place and times; mkvmerge takes it into Matroska.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/file_conversion.h"
#include "app/named_run_setup.h"
#include "app/pgs_conversion.h"
#include "external_tools.h"
#include "pgs_decoder.h"
#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

// Latin, Hebrew, Arabic and CJK lines; times that are not whole frames of any rate; entry 2 still shown when entry 3
// starts, so it is cleared there and times never go back.
constexpr const char* kSrt =
    "1\n00:00:01,000 --> 00:00:02,345\nThe quick brown fox\njumps over the lazy dog\n\n"
    "2\n00:00:03,001 --> 00:00:04,800\n\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D\n"
    "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 \xD8\xA8\xD8\xA7\xD9\x84\xD8\xB9\xD8\xA7\xD9\x84\xD9\x85\n\n"
    "3\n00:00:04,500 --> 00:00:06,007\n\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C\n\n";

// The pictures Quillet composites for the file's entries with the program's own settings.
std::vector<AntialiasedEntry> Composited(const std::string& path, const std::vector<std::string>& args) {
  NamedParse parse = ParseNamedCommandLine(NamedCommand::Convert, args);
  EXPECT_EQ(parse.error, "");
  FontEngine engine(FontOptions{"UTF-8"});
  SetupError error;
  const NamedRunSetup setup = PrepareNamedRun(parse.options, engine, error);
  std::vector<std::string> notices;
  const TSubtitle document = ReadSubtitleForRun(path, setup, notices);
  std::vector<AntialiasedEntry> entries(document.Lines.size());
  for (std::size_t n = 0; n < entries.size(); ++n) {
    DrawAntialiasedEntry(engine, document.Lines[n].Line1, document.Lines[n].Line2, setup.Render(document.UnicodeText),
                         PgsFrame(setup.options.frameRows), PgsColours(setup.options), entries[n]);
  }
  return entries;
}

// Two channels (the low bytes) within 1 of each other.
bool Near(uint32_t a, uint32_t b) { return std::abs(int(a & 0xFF) - int(b & 0xFF)) <= 1; }

// Every pixel of the decoded set's pictures against the composited picture at the same place of the frame (±1 a
// channel), and every drawn pixel inside a decoded picture.
void ExpectSamePicture(const test::DecodedPgsSet& set, const RgbaPicture& drawn, const std::string& what) {
  long decodedInk = 0, mismatches = 0, drawnInk = 0;
  for (const test::DecodedPgsRect& rect : set.rects) {
    for (int y = 0; y < rect.height; ++y) {
      for (int x = 0; x < rect.width; ++x) {
        const uint32_t got = rect.rgba[static_cast<std::size_t>(y * rect.width + x)];
        const int dx = rect.x + x - drawn.left, dy = rect.y + y - drawn.top;
        const uint32_t want = dx >= 0 && dy >= 0 && dx < drawn.width && dy < drawn.height ? drawn.At(dx, dy) : 0;
        decodedInk += (got & 0xFF) != 0;
        bool close = (got & 0xFF) == (want & 0xFF);
        for (int shift = 8; shift <= 24 && (want & 0xFF) != 0; shift += 8) close &= Near(got >> shift, want >> shift);
        mismatches += !close;
      }
    }
  }
  for (uint32_t pixel : drawn.pixels) drawnInk += (pixel & 0xFF) != 0;
  EXPECT_EQ(mismatches, 0) << what;
  EXPECT_EQ(decodedInk, drawnInk) << what;
  EXPECT_GT(drawnInk, 100) << what;
}

TEST(PgsEndToEnd, EveryDisplaySetDecodesToTheCompositedPictureAtItsPlaceAndTimesAndCheckReportsTheLargest) {
  test::TempDir dir;
  const std::string path = dir.Write("scripts.srt", kSrt);
  const int64_t timesMs[][2] = {{1000, 2345}, {3001, 4500}, {4500, 6007}};  // shown, cleared
  for (const char* rows : {"1080", "576"}) {
    const std::vector<std::string> args = {"convert",       "-q",     "--format",         "pgs",    "--frame", rows,
                                           "--text-colour", "FFE080", "--outline-colour", "203060", path};
    ASSERT_EQ(test::RunQuilletProgram(args).status, 0) << rows;
    const std::vector<AntialiasedEntry> pictures = Composited(path, {args.begin() + 1, args.end()});
    const std::vector<test::DecodedPgsSet> sets = test::DecodePgsFile(dir.File("scripts.sup"));
    ASSERT_EQ(sets.size(), 6u) << rows;
    for (std::size_t k = 0; k < 3; ++k) {
      const std::string what = std::string(rows) + " lines, entry " + std::to_string(k + 1);
      EXPECT_NEAR(sets[2 * k].pts90k, timesMs[k][0] * 90, 90) << what;
      ExpectSamePicture(sets[2 * k], pictures[k].picture, what);
      EXPECT_NEAR(sets[2 * k + 1].pts90k, timesMs[k][1] * 90, 90) << what;
      EXPECT_TRUE(sets[2 * k + 1].rects.empty()) << what;
    }
  }
  // check reports the largest display set against the coded buffer a player has.
  const test::ProgramRun check = test::RunQuilletProgram({"check", "--format", "pgs", path});
  EXPECT_NE(check.out.find("largest display set "), std::string::npos) << check.out;
  EXPECT_NE(check.out.find(" of 1048576 bytes"), std::string::npos) << check.out;
}

TEST(PgsEndToEnd, MkvmergeMuxesTheStreamWithAVideo) {
  if (!test::HaveTool("mkvmerge") || !test::HaveTool("ffmpeg")) GTEST_SKIP() << "needs mkvmerge and ffmpeg";
  test::TempDir dir;
  const std::string path = dir.Write("film.srt", kSrt);
  ASSERT_EQ(test::RunQuilletProgram({"convert", "-q", "--format", "pgs", path}).status, 0);
  const std::string video = dir.File("video.mkv"), film = dir.File("film.mkv");
  ASSERT_TRUE(test::RunTool("ffmpeg -v error -f lavfi -i color=black:s=1920x1080:r=25:d=7 -c:v mpeg4 -q:v 31 " +
                            test::ShellQuote(video)));
  ASSERT_TRUE(test::RunTool("mkvmerge -q -o " + test::ShellQuote(film) + " " + test::ShellQuote(video) + " " +
                            test::ShellQuote(dir.File("film.sup"))));
  // mkvmerge keeps each display set as a block of the subtitle track: one at each entry's start and one at its end.
  std::string blocks;
  ASSERT_TRUE(test::RunTool(
      "ffprobe -v error -select_streams s -show_entries packet=pts -of csv=p=0 " + test::ShellQuote(film), &blocks));
  EXPECT_EQ(blocks, "1000\n2345\n3001\n4500\n4500\n6007\n");
}

}  // namespace
}  // namespace quillet
