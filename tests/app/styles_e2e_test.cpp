// "quillet convert" keeps what a file says beyond its letters: italic lines, top placement, third lines; --plain
// draws today's output. Checked on the SUP bytes and through ffmpeg's decoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dvdsub_decoder.h"
#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::ReadFile;
using test::RunQuilletProgram;
using test::TempDir;

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

const std::string kAssHead =
    "[Script Info]\nScriptType: v4.00+\n\n[V4+ Styles]\n"
    "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, Italic, "
    "Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, MarginL, "
    "MarginR, MarginV, Encoding\n"
    "Style: Default,Arial,20,&H00FFFFFF,&H000000FF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,2,0,2,10,10,10,1\n"
    "Style: Sign,Arial,20,&H00FFFFFF,&H000000FF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,2,0,8,10,10,10,1\n"
    "\n[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";

// Converts `file` (written as `name`) with `options` and returns the SUP's bytes.
std::string Converted(const TempDir& dir, const std::string& name, const std::string& file,
                      std::vector<std::string> options = {}) {
  const std::string path = dir.Write(name, file);
  std::vector<std::string> args = {"convert", "-q", "--generic"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(path);
  const test::ProgramRun run = RunQuilletProgram(args);
  EXPECT_EQ(run.status, 0) << name << ": " << run.err;
  return ReadFile(path.substr(0, path.rfind('.')) + ".sup");
}

TEST(StylesEndToEnd, AWhollyItalicLineIsTheLineInTheItalicStyle) {
  TempDir dir;
  const std::string italic =
      Converted(dir, "plain.srt", "1\n00:00:01,000 --> 00:00:02,000\nGood evening\n", {"--style", "Italic"});
  ASSERT_FALSE(italic.empty());
  const struct {
    const char* name;
    std::string file;
  } files[] = {
      {"a.srt", "1\n00:00:01,000 --> 00:00:02,000\n<i>Good evening</i>\n"},
      {"b.vtt", "WEBVTT\n\n00:01.000 --> 00:02.000\n<i>Good evening</i>\n"},
      {"c.ass", kAssHead + "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,{\\i1}Good evening\n"},
      {"d.sub", "{1}{1}25\n{25}{50}{y:i}Good evening\n"},
  };
  for (const auto& f : files) EXPECT_EQ(Converted(dir, f.name, f.file), italic) << f.name;
  // --plain draws the roman line of today.
  EXPECT_EQ(Converted(dir, "e.srt", files[0].file, {"--plain"}),
            Converted(dir, "f.srt", "1\n00:00:01,000 --> 00:00:02,000\nGood evening\n"));
}

// The first row of the unit's display area (its SET_DAREA command), -1 when there is none.
int DisplayAreaTop(const std::vector<uint8_t>& unit) {
  if (unit.size() < 4) return -1;
  std::size_t at = static_cast<std::size_t>(unit[2] << 8 | unit[3]) + 4;
  while (at < unit.size()) {
    const uint8_t command = unit[at++];
    if (command == 0x05 && at + 6 <= unit.size()) return unit[at + 3] << 4 | unit[at + 4] >> 4;
    const std::size_t arguments[] = {0, 0, 0, 2, 2, 6, 4};
    if (command > 0x06) return -1;
    at += arguments[command];
  }
  return -1;
}

// The band's top, as the unit says it, checked against where ffmpeg's decoder finds the first drawn row (a few
// rows lower: the letters' tops lie below their cell's).
int DecodedTop(const std::string& sup) {
  const std::vector<test::SupPacket> packets = test::SplitSupFile(sup);
  EXPECT_EQ(packets.size(), 1u);
  if (packets.empty()) return -1;
  const test::DecodedSubpicture picture = test::DecodeDvdSubpicture(packets[0].unit, packets[0].pts90k);
  EXPECT_TRUE(picture.hasPicture);
  const int top = DisplayAreaTop(packets[0].unit);
  EXPECT_GE(picture.y, top);
  EXPECT_LE(picture.y, top + 8);
  return top;
}

TEST(StylesEndToEnd, TopPlacementPutsTheBandAtTheOffsetBelowTheTop) {
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  TempDir dir;
  const struct {
    const char* name;
    std::string file;
  } files[] = {
      {"a.srt", "1\n00:00:01,000 --> 00:00:02,000\n{\\an8}A sign\n"},
      {"b.ass", kAssHead + "Dialogue: 0,0:00:01.00,0:00:02.00,Sign,,0,0,0,,A sign\n"},
      {"c.vtt", "WEBVTT\n\n00:01.000 --> 00:02.000 line:0%\nA sign\n"},
  };
  for (const auto& f : files) {
    EXPECT_EQ(DecodedTop(Converted(dir, f.name, f.file, {"--offset", "40"})), 40) << f.name;
    EXPECT_GT(DecodedTop(Converted(dir, std::string("plain_") + f.name, f.file, {"--offset", "40", "--plain"})), 400)
        << f.name;
  }
}

TEST(StylesEndToEnd, ThreeLinesAreDrawnWhole) {
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  TempDir dir;
  const std::string file = "1\n00:00:01,000 --> 00:00:02,000\nOne\nTwo\nThree\n";
  auto inkRows = [](const std::string& sup) {
    const std::vector<test::SupPacket> packets = test::SplitSupFile(sup);
    const test::DecodedSubpicture picture = test::DecodeDvdSubpicture(packets.at(0).unit, packets.at(0).pts90k);
    int rows = 0;
    for (int y = 0; y < picture.height; ++y) {
      const auto row = picture.pixels.begin() + y * picture.width;
      rows += std::any_of(row, row + picture.width, [](uint8_t code) { return code != 0; });
    }
    return rows;
  };
  const int three = inkRows(Converted(dir, "three.srt", file));
  const int two = inkRows(Converted(dir, "two.srt", file, {"--plain"}));
  EXPECT_GT(three, two + 20);
}

TEST(StylesEndToEnd, ColoursAndPositionsAreNamedOncePerFile) {
  TempDir dir;
  const std::string path = dir.Write("colours.srt",
                                     "1\n00:00:01,000 --> 00:00:02,000\n<font color=\"red\">Red</font>\n\n"
                                     "2\n00:00:03,000 --> 00:00:04,000\n{\\pos(20,30)}Here\n\n"
                                     "3\n00:00:05,000 --> 00:00:06,000\nPlain\n");
  const std::string notice = path + ": 2 entries ask for colours or a position of their own";
  for (const char* command : {"convert", "check"}) {
    const test::ProgramRun run = RunQuilletProgram({command, "--generic", path});
    EXPECT_EQ(Count(run.err, notice), 1) << command << ": " << run.err;
    EXPECT_EQ(Count(RunQuilletProgram({command, "--generic", "--plain", path}).err, notice), 0) << command;
  }
}

}  // namespace
}  // namespace quillet
