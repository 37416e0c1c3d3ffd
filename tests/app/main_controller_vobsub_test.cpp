// "VobSub too": the run writes an .idx/.sub pair beside the SUP file that ffmpeg and mkvmerge read as the same
// subpictures, keeps it whole on "Abort", and names it in the report.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/errors.h"
#include "dvdsub_decoder.h"
#include "external_tools.h"
#include "ffmpeg_demuxer.h"
#include "palette/palette_display.h"
#include "scripted_view.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::ControllerHarness;
using test::CopyData;
using test::TempDir;

std::vector<test::SupPacket> Packets(const std::string& supPath) { return test::SplitSupFile(test::ReadFile(supPath)); }

int TimestampLines(const std::string& idx) {
  int lines = 0;
  for (std::size_t at = idx.find("\ntimestamp: "); at != std::string::npos; at = idx.find("\ntimestamp: ", at + 1)) {
    ++lines;
  }
  return lines;
}

class VobSubRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::FfmpegDemuxerAvailable() || !test::DvdSubDecoderAvailable()) {
      GTEST_SKIP() << "built without libavformat/libavcodec";
    }
  }
  std::string File(const std::string& extension) const { return dir.File("movie" + extension); }

  TempDir dir;
};

TEST_F(VobSubRun, TheBoxAddsThePairWithTheSameUnitsAndNamesItInTheReport) {
  ControllerHarness h;
  h.ReadyWithoutIfo(CopyData(dir, "ctl_ten_entries.srt", "movie.srt"));
  h.controller.SetVobSubToo(true);
  h.view.ClearRecords();
  h.controller.ButtonGenerateSupClick();
  ASSERT_TRUE(h.view.errors.empty()) << h.view.errors[0];

  const std::vector<test::SupPacket> packets = Packets(File(".sup"));
  ASSERT_EQ(packets.size(), 10u);
  const test::DemuxedFile vobSub = test::DemuxWithFfmpeg(File(".idx"));
  ASSERT_EQ(vobSub.packets.size(), packets.size());
  for (std::size_t i = 0; i < packets.size(); ++i) {
    EXPECT_EQ(vobSub.packets[i].pts90k, packets[i].pts90k) << "entry " << i + 1;
    EXPECT_EQ(vobSub.packets[i].data, packets[i].unit) << "entry " << i + 1;
  }
  const std::string idx = test::ReadFile(File(".idx"));
  EXPECT_NE(idx.find("\r\nsize: 720x576\r\n"), std::string::npos);
  // The generic palette: the four greys, then black.
  EXPECT_NE(idx.find("\r\npalette: 000000, 555555, aaaaaa, ffffff, 000000, 000000,"), std::string::npos) << idx;
  EXPECT_NE(idx.find("\r\nid: en, index: 0\r\n"), std::string::npos);

  ASSERT_EQ(h.view.messages.size(), 1u);
  const std::string ending = "Generated Files:\r\n" + File(".sup") + "\r\n" + File(".idx") + "\r\n" + File(".sub") +
                             "\r\n" + File(".Quillet_Help.txt");
  EXPECT_TRUE(h.view.messages[0].ends_with(ending)) << h.view.messages[0];
  EXPECT_EQ(test::ReadFile(File(".Quillet_Help.txt")), h.view.messages[0]);

  // Unticked again: the SUP file and the report as before, and no new pair.
  fs::remove(File(".idx"));
  fs::remove(File(".sub"));
  h.controller.SetVobSubToo(false);
  h.controller.ButtonGenerateSupClick();
  EXPECT_FALSE(fs::exists(File(".idx")));
  EXPECT_FALSE(fs::exists(File(".sub")));
  EXPECT_TRUE(
      h.view.messages.back().ends_with("Generated Files:\r\n" + File(".sup") + "\r\n" + File(".Quillet_Help.txt")));
}

TEST_F(VobSubRun, AbortKeepsTheSameEntriesInBothFiles) {
  ControllerOptions options;
  options.generationWorkers = 2;
  ControllerHarness h(options);
  h.ReadyWithoutIfo(CopyData(dir, "ctl_ten_entries.srt", "movie.srt"));
  h.controller.SetVobSubToo(true);
  const int abortAt = h.view.processEventsCalls + 4;
  h.view.onProcessEvents = [&](int call) {
    if (call == abortAt) h.controller.ButtonGenerateSupClick();
  };
  h.controller.ButtonGenerateSupClick();

  const std::vector<test::SupPacket> packets = Packets(File(".sup"));
  ASSERT_EQ(packets.size(), 4u);
  EXPECT_EQ(TimestampLines(test::ReadFile(File(".idx"))), 4);
  const test::DemuxedFile vobSub = test::DemuxWithFfmpeg(File(".idx"));
  ASSERT_EQ(vobSub.packets.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(vobSub.packets[i].data, packets[i].unit) << "entry " << i + 1;
  EXPECT_FALSE(fs::exists(File(".Quillet_Help.txt")));
}

TEST_F(VobSubRun, TheFilmsMicroDvdSubtitleBesideItIsNotWrittenOver) {
  ControllerHarness h;
  h.ReadyWithoutIfo(CopyData(dir, "ctl_ten_entries.srt", "movie.srt"));
  const std::string microDvd = "{1}{25}Hello|world\r\n{30}{60}Again\r\n";
  test::WriteFile(File(".sub"), microDvd);
  h.controller.SetVobSubToo(true);
  h.controller.ButtonGenerateSupClick();
  ASSERT_TRUE(h.view.errors.empty()) << h.view.errors[0];

  EXPECT_TRUE(test::ReadFile(File(".sub")) == microDvd) << "the MicroDVD file was written over";
  EXPECT_EQ(TimestampLines(test::ReadFile(File(".vobsub.idx"))), 10);
  EXPECT_EQ(test::DemuxWithFfmpeg(File(".vobsub.idx")).packets.size(), 10u);
  EXPECT_FALSE(fs::exists(File(".idx")));
  EXPECT_TRUE(h.view.messages.back().ends_with("Generated Files:\r\n" + File(".sup") + "\r\n" + File(".vobsub.idx") +
                                               "\r\n" + File(".vobsub.sub") + "\r\n" + File(".Quillet_Help.txt")));
}

// From a SubRip file and a title set dvdauthor made, to a Matroska file with the subtitles.
TEST_F(VobSubRun, WithADvdauthorIfoFfmpegAndMkvmergeShowWhatTheSupShows) {
  for (const char* tool : {"ffmpeg", "ffprobe", "dvdauthor", "mkvmerge"}) {
    if (!test::HaveTool(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  // Greys for the roles (0x10, 0x51, 0xA0, 0xEB luma) among colours.
  const std::array<uint32_t, 16> ifoPalette = {0x00108080, 0x00EB8080, 0x00518AF0, 0x00A08080, 0x00515A5A, 0x00FF8081,
                                               0x00123456, 0x00ABCDEF, 0x00308080, 0x00708080, 0x00C08080, 0x00D08080,
                                               0x00400000, 0x00606060, 0x00902040, 0x00E0F010};
  const std::string ifo = test::AuthorTitleSet(dir, VideoStandard::Pal, ifoPalette);
  ASSERT_FALSE(ifo.empty());
  ControllerHarness h;
  h.LoadIfo(ifo);
  h.LoadSubtitle(CopyData(dir, "sup_roundtrip.srt", "movie.srt"));
  ASSERT_TRUE(h.State().SubtitleLoaded);
  h.controller.SetVobSubToo(true);
  h.controller.ButtonGenerateSupClick();
  ASSERT_TRUE(h.view.errors.empty()) << h.view.errors[0];

  // The .idx palette is the swatches' colours; decoding the SUP with them must give what the pair gives.
  const std::array<Rgb, 16> swatches = MakeIfoPaletteDisplay(ifoPalette).Colours();
  std::string header = "palette: ";
  for (std::size_t i = 0; i < swatches.size(); ++i) {
    char colour[16];
    std::snprintf(colour, sizeof colour, "%s%02x%02x%02x", i ? ", " : "", swatches[i].r, swatches[i].g, swatches[i].b);
    header += colour;
  }
  header += "\n";
  const std::vector<test::SupPacket> packets = Packets(File(".sup"));
  const test::DemuxedFile vobSub = test::DemuxWithFfmpeg(File(".idx"));
  ASSERT_EQ(vobSub.streams.size(), 1u);
  ASSERT_EQ(vobSub.packets.size(), packets.size());
  const TSubtitle& document = *h.SubtitleDocument();
  int pictures = 0;
  for (std::size_t i = 0; i < packets.size(); ++i) {
    const std::string what = "entry " + std::to_string(i + 1);
    const auto fromSup = test::DecodeDvdSubpicture(packets[i].unit, packets[i].pts90k, header);
    const auto fromIdx =
        test::DecodeDvdSubpicture(vobSub.packets[i].data, vobSub.packets[i].pts90k, vobSub.streams[0].extradata);
    ASSERT_EQ(fromIdx.hasPicture, fromSup.hasPicture) << what;
    pictures += fromIdx.hasPicture;
    EXPECT_EQ(fromIdx.x, fromSup.x) << what;
    EXPECT_EQ(fromIdx.y, fromSup.y) << what;
    EXPECT_EQ(fromIdx.width, fromSup.width) << what;
    EXPECT_EQ(fromIdx.height, fromSup.height) << what;
    EXPECT_EQ(fromIdx.pixels, fromSup.pixels) << what;
    for (int c = 0; c < 4; ++c) EXPECT_EQ(fromIdx.palette[c], fromSup.palette[c]) << what << " colour " << c;
    // Shown when the subtitle file says, and for as long as the SUP shows it; entry 4 starts before entry 3.
    const std::size_t timeOrder[] = {0, 1, 3, 2, 4};
    const SubtitleLine& line = document.Lines[timeOrder[i]];
    EXPECT_EQ(vobSub.packets[i].pts90k, static_cast<int64_t>(std::stod(line.StartTime) * 90)) << what;
    EXPECT_EQ(fromIdx.endDisplayMs, fromSup.endDisplayMs) << what;
    EXPECT_NEAR(fromIdx.endDisplayMs, std::stod(line.EndTime) - std::stod(line.StartTime), 1024.0 / 90) << what;
  }
  EXPECT_GE(pictures, 4);

  const std::string video = dir.File("video.mkv");
  const std::string muxed = dir.File("muxed.mkv");
  ASSERT_TRUE(
      test::RunTool("ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i testsrc=size=720x576:rate=25:d=2 "
                    "-c:v mpeg2video -y " +
                    test::ShellQuote(video)));
  ASSERT_TRUE(test::RunTool("mkvmerge -q -o " + test::ShellQuote(muxed) + " " + test::ShellQuote(video) + " " +
                            test::ShellQuote(File(".idx"))));
  std::string identify;
  ASSERT_TRUE(test::RunTool("mkvmerge -J " + test::ShellQuote(muxed), &identify));
  EXPECT_NE(identify.find("\"codec\": \"VobSub\""), std::string::npos) << identify;
  EXPECT_NE(identify.find("\"language\": \"eng\""), std::string::npos) << identify;
  std::string count;
  ASSERT_TRUE(
      test::RunTool("ffprobe -v error -select_streams s -count_packets -show_entries stream=nb_read_packets "
                    "-of csv=p=0 " +
                        test::ShellQuote(muxed),
                    &count));
  EXPECT_EQ(count, std::to_string(packets.size()) + "\n");
}

}  // namespace
}  // namespace quillet
