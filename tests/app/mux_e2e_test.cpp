// "quillet mux" through the built program, and the disc dvdauthor makes of what it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "dvdsub_decoder.h"
#include "external_tools.h"
#include "ffmpeg_demuxer.h"
#include "palette/ifo_reader.h"
#include "palette/palette_display.h"
#include "palette/ycrcb.h"
#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::ProgramRun;
using test::ReadFile;
using test::RunQuilletProgram;
using test::TempDir;

class MuxE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"ffmpeg", "dvdauthor"}) {
      if (!test::HaveTool(tool)) GTEST_SKIP() << tool << " is not installed (Debian packages ffmpeg and dvdauthor)";
    }
    if (!test::FfmpegDemuxerAvailable() || !test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without ffmpeg";
  }
};

// A ten-second DVD video with sound, as a user makes one with ffmpeg.
std::string MakeClip(const TempDir& dir, VideoStandard standard) {
  const bool pal = standard == VideoStandard::Pal;
  const std::string clip = dir.File(pal ? "clip_pal.mpg" : "clip_ntsc.mpg");
  const std::string command = std::string("ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i testsrc=s=") +
                              (pal ? "720x576:r=25" : "720x480:r=30000/1001") +
                              ":d=10 -f lavfi -i sine=d=10 -aspect 4:3 -target " + (pal ? "pal-dvd" : "ntsc-dvd") +
                              " -y " + test::ShellQuote(clip);
  return test::RunTool(command) ? clip : std::string();
}

// The units of a SUP file, in the order written.
std::vector<test::SupPacket> SupUnits(const std::string& path) { return test::SplitSupFile(ReadFile(path)); }

// The packets of each DVD subpicture stream by stream number (0x20, 0x21, …), and the video's first time.
struct Subpictures {
  std::map<int, std::vector<test::DemuxedPacket>> streams;
  int64_t videoStart90k = INT64_MAX;
};
Subpictures ReadSubpictures(const std::string& path) {
  const test::DemuxedFile file = test::DemuxWithFfmpeg(path, "mpeg");
  Subpictures result;
  for (const test::DemuxedPacket& packet : file.packets) {
    const test::DemuxedStream& stream = file.streams[static_cast<std::size_t>(packet.stream)];
    if (stream.codec == "dvd_subtitle") result.streams[stream.id].push_back(packet);
    if (stream.codec == "mpeg2video" && packet.pts90k >= 0) {
      result.videoStart90k = std::min(result.videoStart90k, packet.pts90k);
    }
  }
  return result;
}

// The VobSub palette header the decoder takes its colours from.
std::string IdxPalette(const std::array<uint32_t, 16>& entries) {
  std::string header = "palette: ";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Rgb rgb = YCrCbToRGB(entries[i]);
    char text[16];
    std::snprintf(text, sizeof text, "%s%02x%02x%02x", i ? ", " : "", rgb.r, rgb.g, rgb.b);
    header += text;
  }
  return header + "\n";
}

const std::string kFirst =
    "1\n00:00:01,000 --> 00:00:02,500\nFirst subtitle\n\n2\n00:00:04,200 --> 00:00:06,000\nTwo lines\nof text\n\n";
const std::string kSecond = "1\n00:00:02,000 --> 00:00:05,000\nSecond language\n\n";

struct DiscCase {
  VideoStandard standard;
  bool withIfo;  // the palette of a dvdauthor-made IFO, else the generic one
  int frame90k;
};

class MuxDisc : public MuxE2e, public ::testing::WithParamInterface<DiscCase> {};

TEST_P(MuxDisc, TwoStreamsReachTheDiscWithThePaletteTheyWereDrawnFor) {
  const DiscCase c = GetParam();
  TempDir dir;
  const std::string clip = MakeClip(dir, c.standard);
  ASSERT_FALSE(clip.empty());
  std::array<uint32_t, 16> palette{};
  std::vector<std::string> paletteArgs = {"--generic"};
  if (c.withIfo) {
    palette = {0x00108080, 0x00EB8080, 0x0051F05A, 0x007D8080, 0x00902235, 0x00A01080, 0x00296EF0, 0x00D29210,
               0x00108080, 0x00108080, 0x00108080, 0x00108080, 0x00108080, 0x00108080, 0x00108080, 0x00108080};
    TempDir ifoDir;
    const std::string ifo = test::AuthorTitleSet(ifoDir, c.standard, palette);
    ASSERT_FALSE(ifo.empty());
    fs::copy_file(ifo, dir.File("VTS_01_0.IFO"));
    paletteArgs = {"--ifo", dir.File("VTS_01_0.IFO")};
  } else {
    palette.fill(kGenericPaletteYCrCb[0]);
    std::copy(kGenericPaletteYCrCb.begin(), kGenericPaletteYCrCb.end(), palette.begin());
  }
  const std::string first = dir.Write("first.srt", kFirst);
  const std::string second = dir.Write("second.srt", kSecond);
  const std::vector<std::vector<std::string>> settings = {{"--size", "20"},
                                                          {"--size", "30", "--style", "Bold", "--colors", "0,3,1,0"}};
  // The same conversions as SUP files, for the units the disc must carry.
  fs::create_directory(dir.Path() / "sup");
  for (std::size_t i = 0; i < 2; ++i) {
    std::vector<std::string> args = {"convert", "--quiet", "-o", dir.File("sup")};
    args.insert(args.end(), paletteArgs.begin(), paletteArgs.end());
    args.insert(args.end(), settings[i].begin(), settings[i].end());
    // The IFO gives the frame; without one convert is told it, while mux takes it from the video.
    if (!c.withIfo) args.push_back(c.standard == VideoStandard::Pal ? "--pal" : "--ntsc");
    args.push_back(i == 0 ? first : second);
    const ProgramRun run = RunQuilletProgram(args);
    ASSERT_EQ(run.status, 0) << run.err;
  }
  // One stream per run, the second added to the first run's output.
  const std::vector<std::string> outputs = {dir.File("one.mpg"), dir.File("film.mpg")};
  for (std::size_t i = 0; i < 2; ++i) {
    std::vector<std::string> args = {"mux", "-o", outputs[i], "--language", i == 0 ? "en" : "fr"};
    args.insert(args.end(), paletteArgs.begin(), paletteArgs.end());
    args.insert(args.end(), settings[i].begin(), settings[i].end());
    args.push_back(i == 0 ? clip : outputs[0]);
    args.push_back(i == 0 ? first : second);
    const ProgramRun run = RunQuilletProgram(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
  }
  const std::string paletteFile = ReadFile(dir.File("film.palette"));
  const std::string project = ReadFile(dir.File("film.dvdauthor.xml"));
  EXPECT_NE(project.find("<subpicture lang=\"en\" />\n      <subpicture lang=\"fr\" />"), std::string::npos) << project;

  std::string authored;
  ASSERT_TRUE(test::RunTool(
      "dvdauthor -o " + test::ShellQuote(dir.File("DVD")) + " -x " + test::ShellQuote(dir.File("film.dvdauthor.xml")),
      &authored));
  EXPECT_EQ(authored.find("Discontinuity"), std::string::npos) << authored;
  const IfoContents disc = ReadIfoFile(dir.File("DVD/VIDEO_TS/VTS_01_0.IFO"));
  EXPECT_EQ(disc.palette, palette) << paletteFile;
  EXPECT_EQ(DetectVideoStandard(disc.videoAttributes), c.standard);

  const Subpictures vob = ReadSubpictures(dir.File("DVD/VIDEO_TS/VTS_01_1.VOB"));
  ASSERT_EQ(vob.streams.size(), 2u);
  const std::string header = IdxPalette(disc.palette);
  for (int k = 0; k < 2; ++k) {
    const std::vector<test::SupPacket> sup = SupUnits(dir.File(k == 0 ? "sup/first.sup" : "sup/second.sup"));
    const std::vector<test::DemuxedPacket>& units = vob.streams.at(0x20 + k);
    ASSERT_EQ(units.size(), sup.size()) << "stream " << k;
    for (std::size_t i = 0; i < sup.size(); ++i) {
      EXPECT_EQ(units[i].data, sup[i].unit) << "stream " << k << " unit " << i;
      EXPECT_NEAR(static_cast<double>(units[i].pts90k - vob.videoStart90k), sup[i].pts90k, c.frame90k)
          << "stream " << k << " unit " << i;
      // The units are the SUP file's bytes; shown with the disc's palette, the text must not come out black.
      const test::DecodedSubpicture shown = test::DecodeDvdSubpicture(units[i].data, units[i].pts90k, header);
      ASSERT_TRUE(shown.hasPicture);
      EXPECT_NE(shown.palette[1] & 0xFFFFFF, 0u) << "the text shows black";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Standards, MuxDisc,
                         ::testing::Values(DiscCase{VideoStandard::Pal, true, 3600},
                                           DiscCase{VideoStandard::Ntsc, false, 3003}));

TEST_F(MuxE2e, RefusesWhatADiscCannotTakeAndWritesNothing) {
  TempDir dir;
  const std::string clip = MakeClip(dir, VideoStandard::Pal);
  ASSERT_FALSE(clip.empty());
  const std::string srt = dir.Write("film.srt", kFirst);
  const std::string out = dir.File("out.mpg");
  std::vector<std::string> tooMany = {"mux", "-o", out, clip};
  tooMany.insert(tooMany.end(), 33, srt);
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{"mux", "-o", out, srt, srt}, 1, "is not an MPEG-2 program stream (it reads as SubRip subtitle)"},
      {{"mux", "--ntsc", "-o", out, clip, srt}, 1, "the video is PAL (720x576), but --ntsc makes NTSC subpictures"},
      {tooMany, 1, "with 33 more it would have 33, and a DVD title holds at most 32"},
      {{"mux", "-o", clip, clip, srt}, 2, "would be written over the input " + clip},
      {{"mux", "-o", dir.File("out.palette"), clip, srt}, 2, "is the name of its own palette or project file"},
      {{"mux", "-o", out + "|", clip, srt}, 2, "would make dvdauthor run it as a command"},
  };
  for (const auto& c : cases) {
    const ProgramRun run = RunQuilletProgram(c.args);
    EXPECT_EQ(run.status, c.status) << c.message << "\n" << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(out)) << c.message;
    EXPECT_FALSE(fs::exists(dir.File("out.palette"))) << c.message;
  }
}

TEST_F(MuxE2e, WritesOverItsOwnEarlierOutputsButNobodyElsesFiles) {
  TempDir dir;
  const std::string clip = MakeClip(dir, VideoStandard::Pal);
  ASSERT_FALSE(clip.empty());
  const std::string srt = dir.Write("film.srt", kFirst);
  ASSERT_EQ(RunQuilletProgram({"mux", "-o", dir.File("ours.mpg"), clip, srt}).status, 0);
  const std::string ourProject = ReadFile(dir.File("ours.dvdauthor.xml"));
  const struct {
    std::string out;                                           // the -o name, in the folder
    std::vector<std::pair<std::string, std::string>> planted;  // files there before the run
    std::string refused;                                       // the file named in the refusal; "" when it writes
  } cases[] = {
      {"ours.mpg", {}, ""},  // a rerun over its own outputs
      {"film.mpg", {{"film.mpg", "somebody's film"}}, "film.mpg"},
      {"film.mpg", {{"film.dvdauthor.xml", "<dvdauthor><vmgm /></dvdauthor>\n"}}, "film.dvdauthor.xml"},
      {"film.mpg", {{"film.palette", "108080\n"}}, "film.palette"},
      // Beside a project of ours, but one that plays another film.
      {"film.mpg", {{"film.mpg", "somebody's film"}, {"film.dvdauthor.xml", ourProject}}, "film.mpg"},
      {"film.mpg", {{"film.mpg", ""}, {"film.palette", "108080\n"}, {"film.dvdauthor.xml", ourProject}}, ""},
  };
  for (const auto& c : cases) {
    for (const char* name : {"film.mpg", "film.palette", "film.dvdauthor.xml"}) fs::remove(dir.File(name));
    for (const auto& [name, bytes] : c.planted) dir.Write(name, bytes);
    const ProgramRun run = RunQuilletProgram({"mux", "-o", dir.File(c.out), clip, srt});
    EXPECT_EQ(run.status, c.refused.empty() ? 0 : 1) << c.out << ": " << run.err;
    if (c.refused.empty()) continue;
    EXPECT_NE(run.err.find(dir.File(c.refused) + " exists and is not a"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("it is not written over (use -o"), std::string::npos) << run.err;
    for (const auto& [name, bytes] : c.planted) EXPECT_TRUE(ReadFile(dir.File(name)) == bytes) << name;
  }
  // The common case: the film an earlier run wrote is the input of the next one.
  const ProgramRun more = RunQuilletProgram({"mux", "-o", dir.File("more.mpg"), dir.File("ours.mpg"), srt});
  EXPECT_EQ(more.status, 0) << more.err;
}

TEST_F(MuxE2e, TellsOfLateEntriesAnotherPaletteAndStreamsWithoutALanguageAndStillWrites) {
  TempDir dir;
  const std::string clip = MakeClip(dir, VideoStandard::Pal);
  ASSERT_FALSE(clip.empty());
  const std::string srt = dir.Write("late.srt", kFirst + "3\n00:00:12,000 --> 00:00:13,000\nToo late\n\n");
  const ProgramRun run = RunQuilletProgram({"mux", "-o", dir.File("out.mpg"), clip, srt});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find(srt + ": 1 entry starts after the video ends (00:00:10,000)"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("entries 3"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find(dir.File("out.palette")), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(dir.File("out.dvdauthor.xml")), std::string::npos) << run.out;
  EXPECT_EQ(ReadSubpictures(dir.File("out.mpg")).streams.at(0x20).size(), 3u);

  // A stream added with another palette: the disc can show only one, so the earlier stream's colours change.
  const ProgramRun other = RunQuilletProgram(
      {"mux", "--ifo", test::DataFile("ifo_greys_pal.ifo"), "-o", dir.File("two.mpg"), dir.File("out.mpg"), srt});
  ASSERT_EQ(other.status, 0) << other.err;
  EXPECT_NE(other.err.find(dir.File("out.mpg") + ": its palette file differs from this run's palette"),
            std::string::npos)
      << other.err;
  // Languages of streams an earlier run added come from its project; a film without one gets a notice instead.
  EXPECT_NE(
      ReadFile(dir.File("two.dvdauthor.xml")).find("<subpicture lang=\"en\" />\n      <subpicture lang=\"en\" />"),
      std::string::npos);
  fs::remove(dir.File("out.dvdauthor.xml"));
  const ProgramRun unnamed = RunQuilletProgram({"mux", "-o", dir.File("three.mpg"), dir.File("out.mpg"), srt});
  ASSERT_EQ(unnamed.status, 0) << unnamed.err;
  EXPECT_NE(unnamed.err.find("no project beside it names the language of its subpicture stream"), std::string::npos)
      << unnamed.err;
  EXPECT_NE(ReadFile(dir.File("three.dvdauthor.xml")).find("<subpicture />\n      <subpicture lang=\"en\" />"),
            std::string::npos);
}

}  // namespace
}  // namespace quillet
