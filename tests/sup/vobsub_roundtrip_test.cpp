// Our .idx/.sub pairs read back by ffmpeg's VobSub and program-stream demuxers and muxed by mkvmerge.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "dvdsub_decoder.h"
#include "external_tools.h"
#include "ffmpeg_demuxer.h"
#include "reference_coder.h"
#include "roundtrip_expectation.h"
#include "sup/subpicture_unit.h"
#include "sup/vobsub_index.h"
#include "sup/vobsub_packs.h"
#include "synthetic_frame.h"
#include "test_support.h"

namespace quillet {
namespace {

struct WrittenEntry {
  RenderedFrame frame;
  uint32_t pts90k = 0;
  uint16_t delay = 0;
  std::vector<uint8_t> unit;
};

constexpr PaletteEntries kEntries{.antialias = 4, .outline = 9, .text = 14, .background = 0};

// A band of short runs in every role: a unit several packs long.
RenderedFrame NoisyFrame(int bandTop, int bandHeight) {
  RenderedFrame result;
  result.frame = Image24(kFrameWidth, 576, kFrameBlue);
  result.bandTop = bandTop;
  result.bandHeight = bandHeight;
  std::mt19937 random(7);
  const Rgb colours[] = {kFrameBlue, test::kTestRoles.antialias, test::kTestRoles.outline, test::kTestRoles.text};
  for (int y = bandTop; y < bandTop + bandHeight; ++y) {
    for (int x = 0; x < kFrameWidth;) {
      const int length = 1 + static_cast<int>(random() % 4);
      const Rgb colour = colours[random() % 4];
      for (int i = 0; i < length && x < kFrameWidth; ++i) result.frame.SetPixel(x++, y, colour);
    }
  }
  return result;
}

class VobSubRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::DvdSubDecoderAvailable() || !test::FfmpegDemuxerAvailable()) {
      GTEST_SKIP() << "built without libavcodec/libavformat";
    }
    for (int i = 0; i < 16; ++i) {
      m_index.palette[i] = Rgb{static_cast<uint8_t>(15 * i), static_cast<uint8_t>(200 - 9 * i), 0x42};
    }
    // List order is not time order: the third entry is shown second.
    const int startsMs[] = {1000, 6000, 3500, 9000, 12000};
    for (int i = 0; i < 5; ++i) {
      WrittenEntry entry;
      entry.frame = i == 3 ? NoisyFrame(300, 100) : test::SyntheticFrame(VideoStandard::Pal, 400 + 4 * i, 70, 50 + i);
      const PixelData pixels = EncodeFrameBand(entry.frame, test::kTestRoles);
      entry.pts90k = PresentationTime(startsMs[i]);
      entry.delay = DisplayDelay(startsMs[i], startsMs[i] + 1500 + 100 * i);
      entry.unit = BuildSubpictureUnit(pixels, entry.frame.bandTop, entry.frame.bandHeight, kEntries, entry.delay);
      m_index.entries.push_back({entry.pts90k, m_sub.size()});
      AppendVobSubPacks(entry.unit, entry.pts90k, m_sub);
      m_written.push_back(std::move(entry));
    }
    ASSERT_GT(m_written[3].unit.size(), 3 * kLaterPackPayloadBytes) << "the noisy entry should need several packs";
    m_idxPath = m_dir.Write("movie.idx", BuildVobSubIndex(m_index));
    m_subPath = m_dir.Write("movie.sub", std::string(m_sub.begin(), m_sub.end()));
  }

  // The entry presented at `pts90k` (the test's times are all different), or none.
  const WrittenEntry* EntryAt(int64_t pts90k) const {
    for (const WrittenEntry& entry : m_written) {
      if (entry.pts90k == pts90k) return &entry;
    }
    return nullptr;
  }

  test::TempDir m_dir;
  VobSubIndex m_index;
  std::vector<uint8_t> m_sub;
  std::vector<WrittenEntry> m_written;
  std::string m_idxPath;
  std::string m_subPath;
};

TEST_F(VobSubRoundTrip, FfmpegReadsEveryUnitWithItsTimeAndPaletteColours) {
  const test::DemuxedFile file = test::DemuxWithFfmpeg(m_idxPath);
  ASSERT_EQ(file.streams.size(), 1u);
  EXPECT_EQ(file.streams[0].codec, "dvd_subtitle");
  EXPECT_EQ(file.streams[0].language, "en");
  // ffmpeg hands the units out in file order, each with its own time.
  ASSERT_EQ(file.packets.size(), m_written.size());
  for (std::size_t i = 0; i < m_written.size(); ++i) {
    const std::string what = "subpicture " + std::to_string(i + 1);
    const WrittenEntry* found = EntryAt(file.packets[i].pts90k);
    ASSERT_NE(found, nullptr) << what << " at " << file.packets[i].pts90k;
    const WrittenEntry& entry = *found;
    EXPECT_EQ(file.packets[i].data, entry.unit) << what;

    // Decoded with the palette the .idx hands the decoder: the roles show the palette's colours.
    const test::DecodedSubpicture decoded =
        test::DecodeDvdSubpicture(file.packets[i].data, file.packets[i].pts90k, file.streams[0].extradata);
    test::ExpectSamePicture(decoded, test::ExpectPicture(entry.frame, test::kTestRoles), what);
    const int entryOfCode[4] = {kEntries.background, kEntries.text, kEntries.outline, kEntries.antialias};
    for (int code = 1; code < 4; ++code) {
      const Rgb rgb = m_index.palette[entryOfCode[code]];
      EXPECT_EQ(decoded.palette[code] & 0xFFFFFFu, uint32_t{rgb.r} << 16 | uint32_t{rgb.g} << 8 | rgb.b)
          << what << " code " << code;
    }
    EXPECT_EQ(decoded.endDisplayMs, test::DecoderMs(entry.delay)) << what;
  }
}

TEST_F(VobSubRoundTrip, TheSubFileIsAProgramStreamWithThePresentationTimes) {
  const test::DemuxedFile file = test::DemuxWithFfmpeg(m_subPath, "mpeg");
  ASSERT_EQ(file.streams.size(), 1u);
  EXPECT_EQ(file.streams[0].codec, "dvd_subtitle");
  std::vector<uint32_t> times;
  std::vector<uint8_t> joined;
  for (const test::DemuxedPacket& packet : file.packets) {
    if (packet.pts90k >= 0) times.push_back(static_cast<uint32_t>(packet.pts90k));
    joined.insert(joined.end(), packet.data.begin(), packet.data.end());
  }
  std::vector<uint32_t> expectedTimes;
  std::vector<uint8_t> expectedBytes;
  for (const WrittenEntry& entry : m_written) {
    expectedTimes.push_back(entry.pts90k);
    expectedBytes.insert(expectedBytes.end(), entry.unit.begin(), entry.unit.end());
  }
  EXPECT_EQ(times, expectedTimes);
  EXPECT_EQ(joined, expectedBytes);
}

TEST_F(VobSubRoundTrip, MkvmergeMuxesThePairAsOneVobSubTrack) {
  for (const char* tool : {"ffmpeg", "ffprobe", "mkvmerge"}) {
    if (!test::HaveTool(tool)) GTEST_SKIP() << tool << " is not installed (Debian packages ffmpeg and mkvtoolnix)";
  }
  m_index.language = "fr";
  test::WriteFile(m_idxPath, BuildVobSubIndex(m_index));
  const std::string video = m_dir.File("video.mkv");
  const std::string muxed = m_dir.File("muxed.mkv");
  ASSERT_TRUE(
      test::RunTool("ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i testsrc=size=720x576:rate=25:d=2 "
                    "-c:v mpeg2video -y " +
                    test::ShellQuote(video)));
  ASSERT_TRUE(test::RunTool("mkvmerge -q -o " + test::ShellQuote(muxed) + " " + test::ShellQuote(video) + " " +
                            test::ShellQuote(m_idxPath)));
  std::string identify;
  ASSERT_TRUE(test::RunTool("mkvmerge -J " + test::ShellQuote(muxed), &identify));
  std::size_t subtitleTracks = 0;
  for (std::size_t at = identify.find("\"type\": \"subtitles\""); at != std::string::npos;
       at = identify.find("\"type\": \"subtitles\"", at + 1)) {
    ++subtitleTracks;
  }
  EXPECT_EQ(subtitleTracks, 1u) << identify;
  EXPECT_NE(identify.find("\"codec\": \"VobSub\""), std::string::npos) << identify;
  EXPECT_NE(identify.find("\"language\": \"fre\""), std::string::npos) << identify;
  std::string times;
  ASSERT_TRUE(test::RunTool(
      "ffprobe -v error -select_streams s -show_entries packet=pts_time -of csv=p=0 " + test::ShellQuote(muxed),
      &times));
  EXPECT_EQ(times, "1.000000\n3.500000\n6.000000\n9.000000\n12.000000\n");
}

}  // namespace
}  // namespace quillet
