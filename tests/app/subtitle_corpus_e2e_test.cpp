// The subtitle files of the corpus load as ffmpeg's own SubRip and MicroDVD readers load them: the same entries
// with the same start and end, in the document and in the SUP the program writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "dvdsub_decoder.h"
#include "scripted_view.h"
#include "subtitle/subtitle.h"
#include "test_support.h"

namespace quillet {
namespace {

struct Timed {
  long long startMs = 0;
  long long endMs = 0;
  bool operator==(const Timed&) const = default;
};

void PrintTo(const Timed& t, std::ostream* out) { *out << "[" << t.startMs << ", " << t.endMs << "]"; }

// Standard output of a shell command, and its exit status.
std::string Capture(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    status = -1;
    return out;
  }
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
  status = ::pclose(pipe);
  return out;
}

bool HaveFfprobe() {
  int status = 0;
  Capture("ffprobe -version >/dev/null 2>&1", status);
  return status == 0;
}

// Milliseconds of `ticks` in a time base num/den, to the nearest with ties to even as the reader rounds.
long long TicksToMs(long long ticks, long long num, long long den) {
  return static_cast<long long>(std::nearbyint(static_cast<double>(ticks * num * 1000) / static_cast<double>(den)));
}

// The entries ffmpeg's reader for `format` ("srt", "microdvd", "webvtt", "ass") finds, in its order.
std::vector<Timed> FfmpegEntries(const std::string& path, const std::string& format) {
  int status = 0;
  const std::string base = "ffprobe -v error -f " + format + " -select_streams s:0 -of csv=p=0 ";
  const std::string timeBase = Capture(base + "-show_entries stream=time_base '" + path + "'", status);
  EXPECT_EQ(status, 0) << path;
  long long num = 0, den = 0;
  EXPECT_EQ(std::sscanf(timeBase.c_str(), "%lld/%lld", &num, &den), 2) << timeBase;
  const std::string packets = Capture(base + "-show_entries packet=pts,duration '" + path + "'", status);
  EXPECT_EQ(status, 0) << path;
  std::vector<Timed> entries;
  std::size_t at = 0;
  while (at < packets.size()) {
    std::size_t end = packets.find('\n', at);
    if (end == std::string::npos) end = packets.size();
    long long pts = 0, duration = 0;
    if (std::sscanf(packets.substr(at, end - at).c_str(), "%lld,%lld", &pts, &duration) == 2) {
      entries.push_back({TicksToMs(pts, num, den), TicksToMs(pts + duration, num, den)});
    }
    at = end + 1;
  }
  return entries;
}

struct CorpusFile {
  const char* name;
  int charsetIndex;                    // in the charset list: 4 DEFAULT, 13 RUSSIAN
  const char* format = nullptr;        // ffmpeg's reader; by the extension when not given
  const char* namedOptions = nullptr;  // converted by "quillet convert" with these options instead of the 16 values
};

constexpr CorpusFile kCorpus[] = {
    {"srt_utf16le.srt", 13},
    {"srt_utf16be.srt", 0},
    {"srt_no_first_number.srt", 4},
    {"srt_one_digit_hours.srt", 4},
    {"srt_two_digit_milliseconds.srt", 4},
    {"srt_dot_separators.srt", 4},
    {"srt_blank_separator_lines.srt", 4},
    {"srt_ass_overrides.srt", 4},
    {"srt_unreadable_entries.srt", 4},
    {"srt_cp1251.srt", 13},
    {"microdvd_control_codes.sub", 4},
    {"srt_negative_and_long_fields.srt", 4},
    {"microdvd_no_rate_codes.sub", 4, "microdvd", "--fps 23.976"},
    {"webvtt_cues.vtt", 4, "webvtt"},
    {"ass_aegisub_events.ass", 13, "ass"},  // UTF-8 ASS reads as Unicode under any charset
    {"ssa_v4_marked.ssa", 4, "ass"},
};

// A player takes a subtitle down within one tick of its stop delay (1024/90 ms) of the end time.
constexpr double kDelayTickMs = 1024.0 / 90.0;

TEST(SubtitleCorpus, EveryFileLoadsAsFfmpegReadsIt) {
  if (!HaveFfprobe()) GTEST_SKIP() << "ffprobe is not installed";
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  for (const CorpusFile& file : kCorpus) {
    SCOPED_TRACE(file.name);
    const std::string name = file.name;
    const bool microDvd = name.ends_with(".sub");
    const bool rateLine = microDvd && file.namedOptions == nullptr;
    const std::vector<Timed> expected = FfmpegEntries(test::DataFile(name), file.format ? file.format
                                                                            : microDvd  ? "microdvd"
                                                                                        : "srt");
    ASSERT_GE(expected.size(), 2u);

    // The document: every start and end to the millisecond. A MicroDVD file's frame-rate line is an entry of
    // ours (zero length) and none of ffmpeg's.
    TSubtitle document;
    test::ScriptedView sink;
    document.LoadFromFile(test::DataFile(name), true, sink, {}, {23.976, {}, {}});
    std::vector<Timed> read;
    for (const SubtitleLine& line : document.Lines)
      read.push_back({std::stoll(line.StartTime), std::stoll(line.EndTime)});
    std::vector<bool> blank;
    for (const SubtitleLine& line : document.Lines) blank.push_back(line.Line1.empty() && line.Line2.empty());
    if (rateLine) {
      ASSERT_FALSE(read.empty());
      EXPECT_EQ(read.front().startMs, read.front().endMs);
      read.erase(read.begin());
      blank.erase(blank.begin());
    }
    EXPECT_EQ(read, expected);

    // The SUP the program writes, decoded by ffmpeg's DVD subtitle decoder: one picture per entry, shown from
    // its start to its end, in time order.
    test::TempDir dir;
    const std::string subtitle = dir.File(name);
    std::filesystem::copy_file(test::DataFile(name), subtitle);
    const std::string command =
        file.namedOptions
            ? std::string("'" QUILLET_BINARY "' convert ") + file.namedOptions + " '" + subtitle + "' 2>&1"
            : "env -u DISPLAY -u WAYLAND_DISPLAY '" QUILLET_BINARY "' -1 none '" + subtitle + "' -1 1 0 2 0 0 " +
                  std::to_string(file.charsetIndex) + " 0 14 0 30 -4 1 2>&1";
    int status = 0;
    const std::string output = Capture(command, status);
    ASSERT_EQ(status, 0) << output;
    const std::string supPath = dir.File(std::filesystem::path(name).stem().string() + ".sup");
    // The frame-rate line is no subtitle: the SUP has none of it, and nothing is said about it.
    const std::vector<test::SupPacket> packets = test::SplitSupFile(test::ReadFile(supPath));
    ASSERT_EQ(packets.size(), expected.size());
    EXPECT_TRUE(!rateLine || output.empty()) << output;
    for (std::size_t i = 0; i < packets.size(); ++i) {
      const test::DecodedSubpicture picture = test::DecodeDvdSubpicture(packets[i].unit, packets[i].pts90k);
      EXPECT_EQ(picture.hasPicture, !blank[i]) << "entry " << i + 1;
      // An entry that starts before the film shows from 0.
      EXPECT_EQ(packets[i].pts90k, std::max(0LL, expected[i].startMs) * 90) << "entry " << i + 1;
      if (blank[i]) continue;  // nothing shown, so no end to see
      EXPECT_NEAR(packets[i].pts90k / 90.0 + picture.endDisplayMs, expected[i].endMs, kDelayTickMs)
          << "entry " << i + 1;
    }
  }
}

// Text from a UTF-16 file reads as Unicode whatever the charset: the SUP is the same under ANSI and RUSSIAN.
TEST(SubtitleCorpus, AUtf16FileDrawsTheSameUnderEveryCharset) {
  test::TempDir dir;
  std::string sups[2];
  for (int i = 0; i < 2; ++i) {
    const std::string subtitle = dir.File("film" + std::to_string(i) + ".srt");
    std::filesystem::copy_file(test::DataFile("srt_utf16le.srt"), subtitle);
    int status = 0;
    const std::string out = Capture("env -u DISPLAY -u WAYLAND_DISPLAY '" QUILLET_BINARY "' -1 none '" + subtitle +
                                        "' -1 1 0 2 0 0 " + (i == 0 ? "0" : "13") + " 0 14 0 30 -4 1 2>&1",
                                    status);
    ASSERT_EQ(status, 0) << out;
    sups[i] = test::ReadFile(dir.File("film" + std::to_string(i) + ".sup"));
  }
  EXPECT_FALSE(sups[0].empty());
  EXPECT_TRUE(sups[0] == sups[1]);

  // The named command line likewise.
  for (int i = 0; i < 2; ++i) {
    const std::string subtitle = dir.File("named" + std::to_string(i) + ".srt");
    std::filesystem::copy_file(test::DataFile("srt_utf16le.srt"), subtitle);
    int status = 0;
    const std::string out = Capture(std::string("'" QUILLET_BINARY "' convert --charset ") +
                                        (i == 0 ? "ANSI '" : "RUSSIAN '") + subtitle + "' 2>&1",
                                    status);
    ASSERT_EQ(status, 0) << out;
    sups[i] = test::ReadFile(dir.File("named" + std::to_string(i) + ".sup"));
  }
  EXPECT_FALSE(sups[0].empty());
  EXPECT_TRUE(sups[0] == sups[1]);
}

// A file with entries that cannot be read still converts; standard error names each skipped entry's line.
TEST(SubtitleCorpus, SkippedEntriesAreNamedOnStandardError) {
  test::TempDir dir;
  const std::string subtitle = dir.File("film.srt");
  std::filesystem::copy_file(test::DataFile("srt_unreadable_entries.srt"), subtitle);
  int status = 0;
  const std::string err = Capture("env -u DISPLAY -u WAYLAND_DISPLAY '" QUILLET_BINARY "' -1 none '" + subtitle +
                                      "' -1 1 0 2 0 0 4 0 14 0 30 -4 1 2>&1 >/dev/null",
                                  status);
  EXPECT_EQ(status, 0) << err;
  EXPECT_EQ(err, "quillet: 3 entries of \"" + subtitle +
                     "\" could not be read and were skipped:\n"
                     "line 6: the end time cannot be read\nline 10: the start time cannot be read\n"
                     "line 13: no time line\n");
}

// The too-long message of a Cyrillic file under RUSSIAN shows Cyrillic on standard error, not CP1251 bytes.
TEST(SubtitleCorpus, TheTooLongMessageReadsInTheChosenCharset) {
  test::TempDir dir;
  const std::string subtitle = dir.File("film.srt");
  std::filesystem::copy_file(test::DataFile("srt_cp1251_too_long.srt"), subtitle);
  int status = 0;
  const std::string err = Capture("env -u DISPLAY -u WAYLAND_DISPLAY LC_ALL=C.UTF-8 '" QUILLET_BINARY "' -1 none '" +
                                      subtitle + "' -1 1 0 2 0 0 13 0 14 0 30 -4 1 2>&1 >/dev/null",
                                  status);
  EXPECT_NE(status, 0);
  EXPECT_NE(
      err.find("quillet: The string \n\xD0\xAD\xD1\x82\xD0\xB0 \xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xBA\xD0\xB0 "),
      std::string::npos)
      << err;  // "Эта строка "
  EXPECT_FALSE(std::filesystem::exists(dir.File("film.sup")));
}

}  // namespace
}  // namespace quillet
