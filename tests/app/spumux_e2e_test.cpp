// "quillet spumux" and the program started as spumux, called as DeVeDe and DVDStyler call spumux, and the disc
// dvdauthor makes of the film.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

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
using test::ReadFile;
using test::ShellQuote;
using test::TempDir;

// Whether `shown` (ARGB as the decoder made it) is `rgb` within what the disc's YCrCb entries keep.
::testing::AssertionResult Near(uint32_t shown, uint32_t rgb) {
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>(shown >> shift & 0xFF), b = static_cast<int>(rgb >> shift & 0xFF);
    if (std::abs(a - b) > 3) return ::testing::AssertionFailure() << std::hex << shown << " is not " << rgb;
  }
  return ::testing::AssertionSuccess();
}

TEST(SpumuxE2e, TheAuthoringProgramsCommandsMakeADiscThatShowsTheirSubtitlesInTheirColours) {
  for (const char* tool : {"ffmpeg", "dvdauthor"}) {
    if (!test::HaveTool(tool)) GTEST_SKIP() << tool << " is not installed (Debian packages ffmpeg and dvdauthor)";
  }
  if (!test::FfmpegDemuxerAvailable() || !test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without ffmpeg";
  const std::string fontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (!fs::exists(fontFile)) GTEST_SKIP() << "fonts-dejavu-core is not installed";
  TempDir dir;
  ASSERT_TRUE(test::RunTool("cd " + ShellQuote(dir.Path().string()) +
                            " && ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i testsrc=s=720x576:r=25:d=8"
                            " -f lavfi -i sine=d=8 -aspect 4:3 -target pal-dvd -y film.mpg.tmp"));
  // DeVeDe's subtitles in its default code page, its XML and its call (film on standard input and output).
  dir.Write("de.srt",
            "1\n00:00:01,000 --> 00:00:02,500\nGr\xFC\xDF"
            "e aus K\xF6ln\n\n"
            "2\n00:00:04,000 --> 00:00:05,000\nZwei\n\n");
  dir.Write("film.mpg_s0.xml",
            "<subpictures format=\"PAL\">\n\t<stream>\n\t\t<textsub filename=\"" + dir.File("de.srt") +
                "\" characterset=\"ISO-8859-15\" fontsize=\"28.0\" fill-color=\"#FFFF00\" outline-color=\"#000000\" "
                "outline-thickness=\"3\" font=\"arial\" horizontal-alignment=\"center\" vertical-alignment=\"bottom\" "
                "aspect=\"4:3\" force=\"no\" />\n\t</stream>\n</subpictures>");
  // DVDStyler's: the font as a file, rgba colours, a transparent shadow, the movie's size; run as spumux on PATH,
  // the film from a pipe as the authoring programs give it (DeVeDe's call above has it from a file).
  dir.Write("en.srt", "1\n00:00:02,000 --> 00:00:03,000\nHello\n\n2\n00:00:06,000 --> 00:00:07,000\nBye\n\n");
  dir.Write("title_spumux.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<subpictures format=\"PAL\">\n  <stream>\n    <textsub "
            "filename=\"" +
                dir.File("en.srt") + "\" characterset=\"UTF-8\" force=\"yes\" font=\"" + fontFile +
                "\" fill-color=\"rgba(255,255,255,255)\" outline-color=\"rgba(0,0,255,255)\" "
                "outline-thickness=\"2.000000\" shadow-color=\"rgba(0,0,0,0)\" movie-height=\"576\" aspect=\"4:3\"/>\n"
                "  </stream>\n</subpictures>\n");
  fs::create_directory(dir.Path() / "bin");
  fs::create_symlink(test::ProgramCopy(), dir.Path() / "bin" / "spumux");
  // The temporary copies go to a folder of the test's, which must be empty afterwards, even of the copies of a run
  // that was killed outright (its process gone).
  fs::create_directories(dir.Path() / "tmp" / "quillet-spumux-2147483646-killed");
  dir.Write("tmp/quillet-spumux-2147483646-killed/film.mpg", "a copy of a film");
  const std::string in = "cd " + ShellQuote(dir.Path().string()) + " && mkdir -p tmp && export TMPDIR=\"$PWD/tmp\" && ";
  // In a subshell: the tool runner's own redirections apply to it, the call's inside it.
  const auto call = [&](const std::string& command) { return "(" + in + command + ")"; };
  ASSERT_TRUE(test::RunTool(call(ShellQuote(test::ProgramCopy()) +
                                 " spumux -m dvd -s 0 film.mpg_s0.xml < film.mpg.tmp > film.mpg 2> devede.err")))
      << ReadFile(dir.File("devede.err"));
  ASSERT_TRUE(test::RunTool(
      call("cat film.mpg | PATH=\"$PWD/bin:$PATH\" spumux -P -s 1 title_spumux.xml > title.vob 2> dvdstyler.err")))
      << ReadFile(dir.File("dvdstyler.err"));
  EXPECT_TRUE(Contains(ReadFile(dir.File("devede.err")), "STAT: 0:00:0")) << ReadFile(dir.File("devede.err"));
  const std::string dvdstylerSaid = ReadFile(dir.File("dvdstyler.err"));
  EXPECT_TRUE(Contains(dvdstylerSaid, "bytes of data written") && !Contains(dvdstylerSaid, "WARN:")) << dvdstylerSaid;
  // A third stream numbered 3 cannot follow two: refused, nothing on standard output.
  EXPECT_NE(std::system(call("bin/spumux -s 3 title_spumux.xml < title.vob > wrong.vob 2> wrong.err").c_str()), 0);
  EXPECT_TRUE(Contains(ReadFile(dir.File("wrong.err")),
                       "ERR:  standard input: the new subpicture stream is to be "
                       "number 3, but the film carries 2 subpicture streams"))
      << ReadFile(dir.File("wrong.err"));
  EXPECT_EQ(fs::file_size(dir.File("wrong.vob")), 0u);
  // Refused before the film is read, each with the reason in spumux's manner and nothing on standard output.
  dir.Write("sjis.srt", "1\n00:00:01,000 --> 00:00:02,000\n\x81\x20\n\n");
  const std::pair<std::string, std::string> refusals[] = {
      {"filename=\"" + dir.File("sjis.srt") + "\" characterset=\"SHIFT_JIS\"",
       "ERR:  " + dir.File("sjis.srt") + ": its text is not SHIFT_JIS at byte 32"},
      {"filename=\"" + dir.File("sjis.srt") + "\" characterset=\"KLINGON-1\"",
       "ERR:  characterset=\"KLINGON-1\" is not a character set iconv knows"}};
  for (const auto& [attributes, message] : refusals) {
    dir.Write("refused.xml", "<subpictures><stream><textsub " + attributes + "/></stream></subpictures>");
    EXPECT_NE(std::system(call("bin/spumux refused.xml < film.mpg > refused.vob 2> refused.err").c_str()), 0);
    EXPECT_TRUE(Contains(ReadFile(dir.File("refused.err")), message)) << ReadFile(dir.File("refused.err"));
    EXPECT_EQ(fs::file_size(dir.File("refused.vob")), 0u);
  }

  // A project as the authoring programs write it: no palette named, the colours come from inside the film.
  dir.Write("dvd.xml", "<dvdauthor dest=\"" + dir.File("DVD") +
                           "\">\n<vmgm />\n<titleset><titles><video format=\"pal\" aspect=\"4:3\" />"
                           "<subpicture lang=\"de\" /><subpicture lang=\"en\" /><pgc><vob file=\"" +
                           dir.File("title.vob") + "\" /></pgc></titles></titleset></dvdauthor>\n");
  ASSERT_TRUE(test::RunTool("VIDEO_FORMAT=PAL dvdauthor -x " + ShellQuote(dir.File("dvd.xml"))));
  const IfoContents disc = ReadIfoFile(dir.File("DVD/VIDEO_TS/VTS_01_0.IFO"));
  VobSubIndex shownWith;
  for (std::size_t i = 0; i < 16; ++i) shownWith.palette[i] = YCrCbToRGB(disc.palette[i]);
  const std::string header = BuildVobSubIndex(shownWith);

  const test::DemuxedFile vob = test::DemuxWithFfmpeg(dir.File("DVD/VIDEO_TS/VTS_01_1.VOB"), "mpeg");
  int64_t videoStart = INT64_MAX;
  std::map<int, std::vector<test::DemuxedPacket>> streams;
  for (const test::DemuxedPacket& packet : vob.packets) {
    const test::DemuxedStream& stream = vob.streams[static_cast<std::size_t>(packet.stream)];
    if (stream.codec == "dvd_subtitle") streams[stream.id].push_back(packet);
    if (stream.codec == "mpeg2video" && packet.pts90k >= 0) videoStart = std::min(videoStart, packet.pts90k);
  }
  // Per stream: the entries' times, the text and outline colours asked for, whether the display is forced.
  const std::tuple<int, std::vector<int64_t>, uint32_t, uint32_t, bool> expected[] = {
      {0x20, {90000, 360000}, 0xFFFF00, 0x000000, false}, {0x21, {180000, 540000}, 0xFFFFFF, 0x0000FF, true}};
  for (const auto& [id, times, text, outline, forced] : expected) {
    const std::vector<test::DemuxedPacket>& units = streams[id];
    ASSERT_EQ(units.size(), times.size()) << std::hex << id;
    for (std::size_t i = 0; i < units.size(); ++i) {
      EXPECT_NEAR(static_cast<double>(units[i].pts90k - videoStart), static_cast<double>(times[i]), 3600);
      const test::DecodedSubpicture shown = test::DecodeDvdSubpicture(units[i].data, units[i].pts90k, header);
      ASSERT_TRUE(shown.hasPicture);
      EXPECT_TRUE(Near(shown.palette[1], text)) << std::hex << id << " unit " << i;
      EXPECT_TRUE(Near(shown.palette[2], outline)) << std::hex << id << " unit " << i;
      const std::size_t first = static_cast<std::size_t>(units[i].data[2] << 8 | units[i].data[3]) + 4;
      EXPECT_EQ(units[i].data.at(first), forced ? 0x00 : 0x01) << "forced start, or start";
    }
  }
  EXPECT_TRUE(fs::is_empty(dir.Path() / "tmp"));
}

}  // namespace
}  // namespace quillet
