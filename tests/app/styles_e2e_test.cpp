// "quillet convert" keeps what a file says beyond its letters: italic lines, top placement, third lines; --plain
// draws today's output. Checked on the SUP bytes and through ffmpeg's decoder.
#include <gtest/gtest.h>

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

const std::string kSrt = "1\n00:00:01,000 --> 00:00:02,000\n", kVtt = "WEBVTT\n\n00:01.000 --> 00:02.000";
// Styles Default and Sign, at the bottom and at the top.
const std::string kAssHead =
    "[Script Info]\nScriptType: v4.00+\n\n[V4+ Styles]\nFormat: Name, Fontname, Fontsize, Alignment\n"
    "Style: Default,Arial,20,2\nStyle: Sign,Arial,20,8\n\n[Events]\nFormat: Layer, Start, End, Style, Text\n";

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
  const std::string roman = kSrt + "Good evening\n", italic = Converted(dir, "plain.srt", roman, {"--style", "Italic"});
  ASSERT_FALSE(italic.empty());
  const std::pair<const char*, std::string> files[] = {
      {"a.srt", kSrt + "<i>Good evening</i>\n"},
      {"b.vtt", kVtt + "\n<i>Good evening</i>\n"},
      {"c.ass", kAssHead + "Dialogue: 0,0:00:01.00,0:00:02.00,Default,{\\i1}Good evening\n"},
      {"d.sub", "{1}{1}25\n{25}{50}{y:i}Good evening\n"}};
  for (const auto& [name, file] : files) EXPECT_EQ(Converted(dir, name, file), italic) << name;
  // --plain draws the roman line of today.
  EXPECT_EQ(Converted(dir, "e.srt", files[0].second, {"--plain"}), Converted(dir, "f.srt", roman));
}

// The SUP's one subpicture as ffmpeg's decoder gives it, cut to its drawn rows.
test::DecodedSubpicture Decoded(const std::string& sup) {
  const std::vector<test::SupPacket> packets = test::SplitSupFile(sup);
  EXPECT_EQ(packets.size(), 1u);
  return packets.empty() ? test::DecodedSubpicture{} : test::DecodeDvdSubpicture(packets[0].unit, packets[0].pts90k);
}

// The first drawn row lies a few rows below the band's top: the letters' tops lie below their cell's.
TEST(StylesEndToEnd, TopPlacementPutsTheBandAtTheOffsetBelowTheTop) {
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  TempDir dir;
  const std::pair<std::string, std::string> files[] = {
      {"a.srt", kSrt + "{\\an8}A sign\n"},
      {"b.ass", kAssHead + "Dialogue: 0,0:00:01.00,0:00:02.00,Sign,A sign\n"},
      {"c.vtt", kVtt + " line:0%\nA sign\n"}};
  for (const auto& [name, file] : files) {
    const int top = Decoded(Converted(dir, name, file, {"--offset", "40"})).y;
    EXPECT_TRUE(top >= 40 && top <= 48) << name << ": " << top;
    EXPECT_GT(Decoded(Converted(dir, "plain_" + name, file, {"--offset", "40", "--plain"})).y, 400) << name;
  }
}

// The decoder's picture of three lines is a line taller than that of the first two.
TEST(StylesEndToEnd, ThreeLinesAreDrawnWhole) {
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  TempDir dir;
  const std::string file = kSrt + "One\nTwo\nThree\n";
  EXPECT_GT(Decoded(Converted(dir, "three.srt", file)).height,
            Decoded(Converted(dir, "two.srt", file, {"--plain"})).height + 20);
}

TEST(StylesEndToEnd, ColoursAndPositionsAreNamedOncePerFile) {
  TempDir dir;
  const std::string path = dir.Write("colours.srt", kSrt +
                                                        "<font color=\"red\">Red</font>\n\n"
                                                        "2\n00:00:03,000 --> 00:00:04,000\n{\\pos(20,30)}Here\n\n"
                                                        "3\n00:00:05,000 --> 00:00:06,000\nPlain\n");
  const std::string notice = path + ": 2 entries ask for colours or a position of their own";
  for (const char* command : {"convert", "check"}) {
    const test::ProgramRun run = RunQuilletProgram({command, "--generic", path});
    EXPECT_EQ(run.err.find(notice), run.err.rfind(notice)) << command << ": " << run.err;
    EXPECT_NE(run.err.find(notice), std::string::npos) << command << ": " << run.err;
    EXPECT_EQ(RunQuilletProgram({command, "--generic", "--plain", path}).err.find(notice), std::string::npos);
  }
}

}  // namespace
}  // namespace quillet
