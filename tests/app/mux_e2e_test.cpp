// "quillet mux" through the built program, and the disc dvdauthor makes of what it writes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "base/number_text.h"
#include "dvdsub_decoder.h"
#include "external_tools.h"
#include "ffmpeg_demuxer.h"
#include "palette/ifo_reader.h"
#include "palette/ycrcb.h"
#include "run_program.h"
#include "sup/vobsub_index.h"
#include "test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::Contains;
using test::ProgramRun;
using test::ReadFile;
using test::TempDir;

ProgramRun Mux(std::vector<std::string> args) {
  args.insert(args.begin(), "mux");
  return test::RunQuilletProgram(args);
}

class MuxE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"ffmpeg", "dvdauthor"}) {
      if (!test::HaveTool(tool)) GTEST_SKIP() << tool << " is not installed (Debian packages ffmpeg and dvdauthor)";
    }
    if (!test::FfmpegDemuxerAvailable() || !test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without ffmpeg";
  }
};

// A ten-second DVD video with sound, as a user makes one with ffmpeg. A noisy picture makes a film of some 8 MB,
// more than the demuxer reads to learn the streams, so a stream starting at 9 s is met only while copying.
std::string MakeClip(const TempDir& dir, VideoStandard standard, bool noisy = false) {
  const bool pal = standard == VideoStandard::Pal;
  const std::string clip = dir.File(pal ? "clip_pal.mpg" : "clip_ntsc.mpg");
  const std::string command = std::string("ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i testsrc=s=") +
                              (pal ? "720x576:r=25" : "720x480:r=30000/1001") + ":d=10" +
                              (noisy ? ",noise=alls=60:allf=t" : "") + " -f lavfi -i sine=d=10 -aspect 4:3 -target " +
                              (pal ? "pal-dvd" : "ntsc-dvd") + " -y " + test::ShellQuote(clip);
  return test::RunTool(command) ? clip : std::string();
}

// The packets of each DVD subpicture stream by stream number (0x20, 0x21, …), and the video's first and last times.
struct Subpictures {
  std::map<int, std::vector<test::DemuxedPacket>> streams;
  int64_t videoStart90k = INT64_MAX, videoEnd90k = INT64_MIN;
};
Subpictures ReadSubpictures(const std::string& path) {
  const test::DemuxedFile file = test::DemuxWithFfmpeg(path, "mpeg");
  Subpictures result;
  for (const test::DemuxedPacket& packet : file.packets) {
    const test::DemuxedStream& stream = file.streams[static_cast<std::size_t>(packet.stream)];
    if (stream.codec == "dvd_subtitle") result.streams[stream.id].push_back(packet);
    if (stream.codec != "mpeg2video" || packet.pts90k < 0) continue;  // a picture without a time of its own
    result.videoStart90k = std::min(result.videoStart90k, packet.pts90k);
    result.videoEnd90k = std::max(result.videoEnd90k, packet.pts90k);
  }
  return result;
}

// dvdauthor's disc (in the folder `disc`) of a project.
bool Author(const TempDir& dir, const std::string& project, const char* disc = "DVD", std::string* log = nullptr) {
  return test::RunTool("dvdauthor -o " + test::ShellQuote(dir.File(disc)) + " -x " + test::ShellQuote(project), log);
}

const std::string kFirst =
    "1\n00:00:01,000 --> 00:00:02,500\nFirst subtitle\n\n2\n00:00:04,200 --> 00:00:06,000\nTwo lines\nof text\n\n";
const std::string kSecond = "1\n00:00:02,000 --> 00:00:05,000\nSecond language\n\n";

class MuxDisc : public MuxE2e, public ::testing::WithParamInterface<VideoStandard> {};

// PAL with the palette of a dvdauthor-made IFO, NTSC with the generic one. The second stream is added by a run on
// the first run's film, which must keep the first stream's units as they were.
TEST_P(MuxDisc, TwoStreamsReachTheDiscWithThePaletteTheyWereDrawnFor) {
  const bool pal = GetParam() == VideoStandard::Pal;
  TempDir dir;
  const std::string clip = MakeClip(dir, GetParam());
  ASSERT_FALSE(clip.empty());
  // PAL: a dvdauthor-made IFO's palette, black after the eighth; NTSC: the generic one, four greys and then black.
  std::array<uint32_t, 16> palette{0x108080, 0xEB8080, 0x51F05A, 0x7D8080, 0x902235, 0xA01080, 0x296EF0, 0xD29210};
  for (uint32_t i = 0; i < 16; ++i) {
    if (!pal || i >= 8) palette[i] = pal ? 0x108080 : (i < 4 ? 0x55 * i : 0) << 16 | 0x8080;
  }
  TempDir ifoDir;
  const std::vector<std::string> paletteArgs =
      pal ? std::vector<std::string>{"--ifo", test::AuthorTitleSet(ifoDir, GetParam(), palette)}
          : std::vector<std::string>{"--generic"};
  ASSERT_NE(paletteArgs.back(), "");
  const std::string subtitles[] = {dir.Write("first.srt", kFirst), dir.Write("second.srt", kSecond)};
  const std::vector<std::string> settings[] = {
      {"--language", "en", "--size", "20"},
      {"--language", "fr", "--size", "30", "--style", "Bold", "--colors", "0,3,1,0"}};
  const std::string films[] = {clip, dir.File("one.mpg"), dir.File("film.mpg")};
  // Each subtitle as a SUP file, for the units the disc must carry, and muxed onto the film of the run before.
  fs::create_directory(dir.Path() / "sup");
  for (std::size_t i = 0; i < 2; ++i) {
    for (std::vector<std::string> args : {std::vector<std::string>{"convert", "--quiet", "-o", dir.File("sup")},
                                          std::vector<std::string>{"mux", "-o", films[i + 1], films[i]}}) {
      args.insert(args.end(), paletteArgs.begin(), paletteArgs.end());
      args.insert(args.end(), settings[i].begin(), settings[i].end());
      if (!pal) args.push_back("--ntsc");  // convert takes the frame from this or the IFO
      args.push_back(subtitles[i]);
      const ProgramRun run = test::RunQuilletProgram(args);
      ASSERT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.err, "");
    }
  }
  const std::string project = ReadFile(dir.File("film.dvdauthor.xml"));
  EXPECT_TRUE(Contains(project, "<subpicture lang=\"en\" />\n      <subpicture lang=\"fr\" />")) << project;

  std::string authored;
  ASSERT_TRUE(Author(dir, dir.File("film.dvdauthor.xml"), "DVD", &authored));
  EXPECT_FALSE(Contains(authored, "Discontinuity")) << authored;
  const IfoContents disc = ReadIfoFile(dir.File("DVD/VIDEO_TS/VTS_01_0.IFO"));
  EXPECT_EQ(disc.palette, palette);
  EXPECT_EQ(DetectVideoStandard(disc.videoAttributes), GetParam());

  const Subpictures vob = ReadSubpictures(dir.File("DVD/VIDEO_TS/VTS_01_1.VOB"));
  ASSERT_EQ(vob.streams.size(), 2u);
  // The disc's palette, handed to the decoder as an .idx header.
  const auto headerOf = [](const IfoContents& ifo) {
    VobSubIndex shownWith;
    for (std::size_t i = 0; i < 16; ++i) shownWith.palette[i] = YCrCbToRGB(ifo.palette[i]);
    return BuildVobSubIndex(shownWith);
  };
  const std::string header = headerOf(disc);
  // A project that names no palette (as DVDStyler and DeVeDe write them): the colours come from inside the film.
  std::string bare = project;
  const std::size_t named = bare.find(" palette=\"");
  bare.erase(named, bare.find('"', named + 10) + 1 - named);
  ASSERT_TRUE(Author(dir, dir.Write("bare.xml", bare), "BARE"));
  const std::string bareHeader = headerOf(ReadIfoFile(dir.File("BARE/VIDEO_TS/VTS_01_0.IFO")));
  const Subpictures bareVob = ReadSubpictures(dir.File("BARE/VIDEO_TS/VTS_01_1.VOB"));
  for (int s = 0; s < 2; ++s) {
    const auto sup = test::SplitSupFile(ReadFile(dir.File(s == 0 ? "sup/first.sup" : "sup/second.sup")));
    const std::vector<test::DemuxedPacket>& units = vob.streams.at(0x20 + s);
    ASSERT_EQ(units.size(), sup.size()) << "stream " << s;
    for (std::size_t i = 0; i < sup.size(); ++i) {
      EXPECT_EQ(units[i].data, sup[i].unit) << "stream " << s << " unit " << i;
      EXPECT_NEAR(static_cast<double>(units[i].pts90k - vob.videoStart90k), sup[i].pts90k, pal ? 3600 : 3003)
          << "stream " << s << " unit " << i;  // within one frame
      const test::DecodedSubpicture shown = test::DecodeDvdSubpicture(units[i].data, units[i].pts90k, header);
      ASSERT_TRUE(shown.hasPicture);
      EXPECT_NE(shown.palette[1] & 0xFFFFFF, 0u) << "the text shows black";
      const test::DemuxedPacket& bareUnit = bareVob.streams.at(0x20 + s).at(i);
      const test::DecodedSubpicture bareShown = test::DecodeDvdSubpicture(bareUnit.data, bareUnit.pts90k, bareHeader);
      for (int k = 0; k < 4; ++k) EXPECT_EQ(bareShown.palette[k], shown.palette[k]) << "stream " << s << " unit " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Standards, MuxDisc, ::testing::Values(VideoStandard::Pal, VideoStandard::Ntsc));

// Refusals that write nothing; a first run with an entry after the video's end, then runs on its outputs: over its
// own files and beside files of somebody else, and one that adds a stream with another palette to the film after
// its project went.
TEST_F(MuxE2e, RefusesWhatADiscCannotTakeAndWritesOverItsOwnOutputsButNobodyElses) {
  TempDir dir;
  const std::string clip = MakeClip(dir, VideoStandard::Pal);
  ASSERT_FALSE(clip.empty());
  const std::string srt = dir.Write("late.srt", kFirst + "3\n00:00:12,000 --> 00:00:13,000\nToo late\n\n");
  const std::string out = dir.File("out.mpg");
  std::vector<std::string> tooMany = {"-o", out, clip};
  tooMany.insert(tooMany.end(), 33, srt);
  const std::string fifo = dir.File("fifo.mpg");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::tuple<std::vector<std::string>, int, std::string> refusals[] = {
      {{"-o", out, srt, srt}, 1, "is not an MPEG-2 program stream (it reads as SubRip subtitle)"},
      {{"--ntsc", "-o", out, clip, srt}, 1, "the video is PAL (720x576), but --ntsc makes NTSC subpictures"},
      {tooMany, 1, "with 33 more it would have 33, and a DVD title holds at most 32"},
      {{"-o", clip, clip, srt}, 2, "would be written over the input " + clip},
      {{"-o", dir.File("out.palette"), clip, srt}, 2, "is the name of its own palette or project file"},
      {{"-o", out + "|", clip, srt}, 2, "would make dvdauthor run it as a command"},
      // Only a plain file is a film: no libavformat address, nothing that could block or never end (the other kinds
      // of file are the file reader's test).
      {{"-o", out, "concat:" + clip + "|" + clip, srt}, 1, "concat:" + clip + "|" + clip + "\": No such file"},
      {{"-o", out, fifo, srt}, 1, "it is a named pipe (FIFO), not a regular file"},
  };
  for (const auto& [args, status, message] : refusals) {
    const ProgramRun run = Mux(args);
    EXPECT_EQ(run.status, status) << message << "\n" << run.err;
    EXPECT_TRUE(Contains(run.err, message)) << run.err;
    EXPECT_FALSE(fs::exists(out) || fs::exists(dir.File("out.palette"))) << message;
  }

  tooMany.pop_back();  // 32 streams: as many as a title holds
  tooMany[1] = dir.File("full.mpg");
  const ProgramRun full = Mux(tooMany);
  EXPECT_EQ(full.status, 0) << full.err;
  EXPECT_EQ(ReadSubpictures(dir.File("full.mpg")).streams.size(), 32u);

  const ProgramRun first = Mux({"-o", dir.File("ours.mpg"), clip, srt});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_TRUE(Contains(first.err, srt + ": 1 entry starts after the video ends (00:00:10,000)")) << first.err;
  EXPECT_TRUE(Contains(first.out, dir.File("ours.palette")) && Contains(first.out, dir.File("ours.dvdauthor.xml")))
      << first.out;
  EXPECT_TRUE(Contains(first.err, "where a player shows nothing; left out: entries 3")) << first.err;
  EXPECT_EQ(ReadSubpictures(dir.File("ours.mpg")).streams.at(0x20).size(), 2u);

  const std::string ourProject = ReadFile(dir.File("ours.dvdauthor.xml"));
  // The -o name, the files in the folder before the run, the file named in the refusal ("" when it writes).
  using Planted = std::vector<std::pair<std::string, std::string>>;
  const std::tuple<std::string, Planted, std::string> cases[] = {
      {"ours.mpg", {}, ""},  // a rerun over its own outputs
      {"film.mpg", {{"film.mpg", "somebody's film"}}, "film.mpg"},
      {"film.mpg", {{"film.dvdauthor.xml", "<dvdauthor><vmgm /></dvdauthor>\n"}}, "film.dvdauthor.xml"},
      {"film.mpg", {{"film.palette", "108080\n"}}, "film.palette"},
      // Beside a project of ours, but one that plays another film.
      {"film.mpg", {{"film.mpg", "somebody's film"}, {"film.dvdauthor.xml", ourProject}}, "film.mpg"},
      {"film.mpg", {{"film.mpg", ""}, {"film.palette", "108080\n"}, {"film.dvdauthor.xml", ourProject}}, ""},
  };
  for (const auto& [out, planted, refused] : cases) {
    for (const char* name : {"film.mpg", "film.palette", "film.dvdauthor.xml"}) fs::remove(dir.File(name));
    for (const auto& [name, bytes] : planted) dir.Write(name, bytes);
    const ProgramRun run = Mux({"-o", dir.File(out), clip, srt});
    EXPECT_EQ(run.status, refused.empty() ? 0 : 1) << out << ": " << run.err;
    if (refused.empty()) continue;
    EXPECT_TRUE(Contains(run.err, dir.File(refused) + " exists and is not a") &&
                Contains(run.err, "it is not written over (use -o"))
        << run.err;
    for (const auto& [name, bytes] : planted) EXPECT_TRUE(ReadFile(dir.File(name)) == bytes) << name;
  }

  // A disc whose own subtitles are yellow on blue: its palette has no greys to draw with.
  TempDir ifoDir;
  std::array<uint32_t, 16> coloured{};
  std::string paletteText;  // the disc's own 16 entries, to be kept unchanged
  for (std::size_t i = 0; i < 16; ++i) {
    coloured[i] = i % 2 ? 0xD29210 : 0x296EF0;
    paletteText += i % 2 ? "D29210\n" : "296EF0\n";
  }
  const std::string noGreys = test::AuthorTitleSet(ifoDir, VideoStandard::Pal, coloured);
  ASSERT_NE(noGreys, "");
  const ProgramRun greyless = Mux({"--ifo", noGreys, "-o", dir.File("yellow.mpg"), dir.File("ours.mpg"), srt});
  EXPECT_TRUE(greyless.status == 1 && Contains(greyless.err, dir.File("ours.mpg") + " carries would change colour") &&
              Contains(greyless.err, "Give --colors A,O,T,B") && Contains(greyless.err, "or --generic (replace it)"))
      << greyless.err;
  EXPECT_FALSE(fs::exists(dir.File("yellow.mpg")));
  ASSERT_EQ(
      Mux({"--ifo", noGreys, "--colors", "1,0,1,0", "-o", dir.File("yellow.mpg"), dir.File("ours.mpg"), srt}).status,
      0);
  EXPECT_EQ(ReadFile(dir.File("yellow.palette")), paletteText);
  const ProgramRun replaced = Mux({"--ifo", noGreys, "-o", dir.File("grey.mpg"), clip, srt});
  ASSERT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_TRUE(Contains(replaced.err, "the generic grey palette is used and replaces it on the disc")) << replaced.err;
  EXPECT_FALSE(Contains(replaced.err, "Quillet_Help")) << replaced.err;

  fs::remove(dir.File("ours.dvdauthor.xml"));
  const ProgramRun more =
      Mux({"--ifo", test::DataFile("ifo_greys_pal.ifo"), "-o", dir.File("two.mpg"), dir.File("ours.mpg"), srt});
  ASSERT_EQ(more.status, 0) << more.err;
  EXPECT_TRUE(Contains(more.err, dir.File("ours.mpg") + ": its palette file differs from this run's palette"))
      << more.err;
  EXPECT_TRUE(Contains(more.err, "no project beside it names the language of its subpicture stream")) << more.err;
  EXPECT_TRUE(Contains(ReadFile(dir.File("two.dvdauthor.xml")), "<subpicture />\n      <subpicture lang=\"en\" />"));
}

// Entries that follow each other closely: their units would share the muxer's packets, and a reader that gathers a
// unit from the packets after its first (ffmpeg's, mpv's) would lose its place from there on. Two speakers that
// start together, a 10 ms entry followed at once by the next, then 100 entries 40 ms apart, each as long.
TEST_F(MuxE2e, EveryUnitReachesTheDiscInPacketsOfItsOwnAndDvdauthorFindsThemInOrder) {
  TempDir dir;
  const std::string clip = MakeClip(dir, VideoStandard::Pal);
  ASSERT_FALSE(clip.empty());
  std::vector<std::pair<int, int>> times = {{500, 1500}, {500, 1500}, {2000, 2010}, {2010, 3000}};
  for (int k = 0; k < 100; ++k) times.emplace_back(3200 + 40 * k, 3240 + 40 * k);
  std::string srt;
  for (std::size_t i = 0; i < times.size(); ++i) {
    srt += std::to_string(i + 1) + "\n" + ClockTime(times[i].first) + " --> " + ClockTime(times[i].second) +
           "\nEntry " + std::to_string(i + 1) + "\n\n";
  }
  const ProgramRun run = Mux({"-o", dir.File("film.mpg"), clip, dir.Write("close.srt", srt)});
  ASSERT_EQ(run.status, 0) << run.err;
  std::string authored;
  ASSERT_TRUE(Author(dir, dir.File("film.dvdauthor.xml"), "DVD", &authored));
  EXPECT_FALSE(Contains(authored, "moves backwards")) << authored;
  const Subpictures vob = ReadSubpictures(dir.File("DVD/VIDEO_TS/VTS_01_1.VOB"));
  ASSERT_EQ(vob.streams.size(), 1u);
  const std::vector<test::DemuxedPacket>& units = vob.streams.at(0x20);
  ASSERT_EQ(units.size(), times.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    EXPECT_EQ(units[i].pts90k - vob.videoStart90k, times[i].first * 90) << "entry " << i + 1;
    EXPECT_TRUE(test::DecodeDvdSubpicture(units[i].data, units[i].pts90k).hasPicture) << "entry " << i + 1;
  }
}

// A 16:9 film: its project makes a 16:9 title whose widescreen subpicture stream is the one drawn.
TEST_F(MuxE2e, AWideFilmGivesAWideTitle) {
  TempDir dir;
  const std::string wide = dir.File("wide.mpg");
  ASSERT_TRUE(
      test::RunTool("ffmpeg -nostdin -v error -f lavfi -i testsrc=s=720x576:r=25:d=2 -f lavfi -i sine=d=2 "
                    "-aspect 16:9 -target pal-dvd -y " +
                    test::ShellQuote(wide)));
  const ProgramRun run = Mux({"-o", dir.File("film.mpg"), wide, dir.Write("a.srt", kFirst)});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string project = ReadFile(dir.File("film.dvdauthor.xml"));
  // How a wide title is written is the project's own test.
  EXPECT_TRUE(Contains(project, "aspect=\"16:9\"") && Contains(project, "<stream mode=\"widescreen\" id=\"0\" />"))
      << project;
  EXPECT_TRUE(Author(dir, dir.File("film.dvdauthor.xml")));
  // Drawn unsqueezed on purpose, the stream is not the title's widescreen one.
  ASSERT_EQ(Mux({"--aspect", "4:3", "-o", dir.File("film43.mpg"), wide, dir.File("a.srt")}).status, 0);
  const std::string project43 = ReadFile(dir.File("film43.dvdauthor.xml"));
  EXPECT_TRUE(Contains(project43, "aspect=\"16:9\"") && !Contains(project43, "mode=\"widescreen\"")) << project43;
}

// Two films joined with cat: the clock starts again in the middle. The copy continues it, as ffmpeg's does, and a
// subtitle 15 s in shows 15 s into the joined film.
TEST_F(MuxE2e, AClockThatStartsAgainIsContinuedAndTold) {
  TempDir dir;
  const std::string clip = MakeClip(dir, VideoStandard::Pal);
  ASSERT_FALSE(clip.empty());
  const std::string joined = dir.File("joined.mpg");
  ASSERT_TRUE(
      test::RunTool("cat " + test::ShellQuote(clip) + " " + test::ShellQuote(clip) + " > " + test::ShellQuote(joined)));
  const std::string srt = dir.Write("late.srt", "1\n00:00:15,000 --> 00:00:16,000\nIn the second film\n\n");
  const ProgramRun run = Mux({"-o", dir.File("film.mpg"), joined, srt});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, joined + ": its clock starts again at byte ")) << run.err;
  EXPECT_FALSE(Contains(run.err, "after the video ends")) << run.err;
  const Subpictures film = ReadSubpictures(dir.File("film.mpg"));
  // 500 pictures, none squashed.
  EXPECT_NEAR(static_cast<double>(film.videoEnd90k - film.videoStart90k), 19.96 * 90000, 3600);
  ASSERT_EQ(film.streams.at(0x20).size(), 1u);
  EXPECT_NEAR(static_cast<double>(film.streams.at(0x20)[0].pts90k - film.videoStart90k), 15 * 90000, 3600);
}

// A film whose two subpicture streams start at 9 s (met only while copying) and at 1 s: a run that adds a third keeps
// both with their numbers, units and languages. A project that describes another film, or names a language that is
// no code, does not name them.
TEST_F(MuxE2e, TheFilmsOwnStreamsKeepTheirNumbersUnitsAndLanguagesWhereverTheyStart) {
  TempDir dir;
  const std::string clip = MakeClip(dir, VideoStandard::Pal, true);
  ASSERT_FALSE(clip.empty());
  const std::string late = dir.Write("late.srt", "1\n00:00:09,000 --> 00:00:09,800\nLate\n\n");
  const std::string first = dir.Write("first.srt", kFirst);
  const std::string third = dir.Write("third.srt", kSecond);
  ASSERT_EQ(Mux({"--language", "en", "--language", "fr", "-o", dir.File("two.mpg"), clip, late, first}).status, 0);
  ASSERT_EQ(Mux({"--language", "it", "--language", "es", "-o", dir.File("other.mpg"), clip, first, third}).status, 0);
  const ProgramRun run = Mux({"--language", "de", "-o", dir.File("three.mpg"), dir.File("two.mpg"), third});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "(3 subpicture streams, 1 new)")) << run.out;
  EXPECT_EQ(run.err, "");
  const Subpictures before = ReadSubpictures(dir.File("two.mpg"));
  const Subpictures after = ReadSubpictures(dir.File("three.mpg"));
  ASSERT_EQ(after.streams.size(), 3u);
  const auto units = [](const Subpictures& film, int stream) {
    std::vector<std::vector<uint8_t>> data;
    for (const auto& packet : film.streams.at(stream)) data.push_back(packet.data);
    return data;
  };
  for (const int stream : {0x20, 0x21}) EXPECT_EQ(units(after, stream), units(before, stream)) << "stream " << stream;
  EXPECT_TRUE(
      Contains(ReadFile(dir.File("three.dvdauthor.xml")),
               "<subpicture lang=\"en\" />\n      <subpicture lang=\"fr\" />\n      <subpicture lang=\"de\" />"));

  // other.mpg also has two streams, but two.mpg's project describes two.mpg; then one naming "e&n".
  std::string project = ReadFile(dir.File("two.dvdauthor.xml"));
  dir.Write("other.dvdauthor.xml", project);
  const ProgramRun other = Mux({"-o", dir.File("four.mpg"), dir.File("other.mpg"), third});
  EXPECT_TRUE(Contains(other.err, "other.dvdauthor.xml, was written for another film")) << other.err;
  EXPECT_TRUE(Contains(ReadFile(dir.File("four.dvdauthor.xml")), "<subpicture />\n      <subpicture />\n"));
  project.replace(project.find("lang=\"en\""), 9, "lang=\"e&amp;n\"");
  dir.Write("two.dvdauthor.xml", project);
  const ProgramRun named = Mux({"-o", dir.File("five.mpg"), dir.File("two.mpg"), third});
  EXPECT_TRUE(Contains(named.err, "names a language \"e&n\" that is no two-letter code")) << named.err;
  EXPECT_TRUE(Contains(ReadFile(dir.File("five.dvdauthor.xml")), "<subpicture />\n      <subpicture lang=\"fr\" />"));
}

}  // namespace
}  // namespace quillet
