// "quillet convert" and "quillet check" through the built program, as a script runs them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dvdsub_decoder.h"
#include "ffmpeg_demuxer.h"
#include "run_program.h"
#include "test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::Contains;
using test::ProgramRun;
using test::ReadFile;
using test::RunQuilletProgram;
using test::TempDir;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1) {
    lines.push_back(text.substr(start, nl - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string Copy(const TempDir& dir, const std::string& dataName, const std::string& as) {
  return dir.Write(as, ReadFile(test::DataFile(dataName)));
}

// Every packet of the SUP file decodes to a picture inside the frame, at the entry's start time (90 kHz).
void ExpectDecodes(const std::string& supPath, const std::vector<uint32_t>& starts90k, int frameHeight) {
  const std::vector<test::SupPacket> packets = test::SplitSupFile(ReadFile(supPath));
  ASSERT_EQ(packets.size(), starts90k.size()) << supPath;
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  for (std::size_t i = 0; i < packets.size(); ++i) {
    EXPECT_EQ(packets[i].pts90k, starts90k[i]) << supPath << " entry " << i + 1;
    const test::DecodedSubpicture picture = test::DecodeDvdSubpicture(packets[i].unit, packets[i].pts90k);
    ASSERT_TRUE(picture.hasPicture) << supPath << " entry " << i + 1;
    EXPECT_LE(picture.y + picture.height, frameHeight);
    EXPECT_LE(picture.x + picture.width, 720);
  }
}

// The VobSub pair holds the same units: ffmpeg's VobSub demuxer finds each at the entry's start time and its
// dvdsub decoder draws it (colours from the .idx palette) inside the frame; read on its own, the .sub is an
// MPEG program stream carrying those units byte for byte.
void ExpectVobSubDecodes(const std::string& idxPath, const std::string& subPath, const std::vector<uint32_t>& starts90k,
                         int frameHeight) {
  if (!test::FfmpegDemuxerAvailable() || !test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without ffmpeg";
  const test::DemuxedFile pair = test::DemuxWithFfmpeg(idxPath);
  ASSERT_EQ(pair.streams.size(), 1u) << idxPath;
  ASSERT_EQ(pair.packets.size(), starts90k.size()) << idxPath;
  std::vector<uint8_t> units;
  for (std::size_t i = 0; i < pair.packets.size(); ++i) {
    const test::DemuxedPacket& packet = pair.packets[i];
    EXPECT_EQ(packet.pts90k, starts90k[i]) << idxPath << " entry " << i + 1;
    const test::DecodedSubpicture picture =
        test::DecodeDvdSubpicture(packet.data, packet.pts90k, pair.streams[0].extradata);
    ASSERT_TRUE(picture.hasPicture) << idxPath << " entry " << i + 1;
    EXPECT_LE(picture.y + picture.height, frameHeight);
    EXPECT_LE(picture.x + picture.width, 720);
    units.insert(units.end(), packet.data.begin(), packet.data.end());
  }
  const test::DemuxedFile stream = test::DemuxWithFfmpeg(subPath, "mpeg");
  ASSERT_EQ(stream.streams.size(), 1u) << subPath;
  EXPECT_EQ(stream.streams[0].codec, "dvd_subtitle") << subPath;
  std::vector<uint8_t> joined;
  for (const test::DemuxedPacket& packet : stream.packets)
    joined.insert(joined.end(), packet.data.begin(), packet.data.end());
  EXPECT_EQ(joined, units) << subPath;
}

const std::vector<uint32_t> kSrtStarts = {500 * 90, 61000 * 90, 3723456 * 90};  // e2e_three_entries.srt
// A MicroDVD file at 25 frames a second; its frame-rate line {1}{1} is no subtitle and is never written (nor told).
const std::string kMicroDvd = "{1}{1}25.000\r\n{25}{75}Hello|World\r\n{100}{150}{y:i}Second\r\n";
const std::vector<uint32_t> kSubStarts = {1000 * 90, 4000 * 90};
const std::string kOtherFilm = "1\r\n00:00:01,000 --> 00:00:02,000\r\nOther film\r\n\r\n";

TEST(NamedConvert, ConvertsSubRipAndMicroDvdFilesTwoAtATimeIntoSupAndVobSubInTheOutputFolder) {
  TempDir dir;
  const std::vector<std::string> inputs = {
      Copy(dir, "e2e_three_entries.srt", "one.srt"), dir.Write("two.sub", kMicroDvd),
      Copy(dir, "e2e_three_entries.srt", "three.srt"), dir.Write("four.txt", kMicroDvd)};
  fs::create_directory(dir.Path() / "out");
  std::vector<std::string> args = {"convert", "-j", "2", "--ntsc", "--format", "both", "-o", dir.File("out")};
  args.insert(args.end(), inputs.begin(), inputs.end());
  const ProgramRun run = RunQuilletProgram(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");  // not a terminal: no progress line
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), inputs.size()) << run.out;
  for (const std::string& input : inputs) {
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [&](const std::string& l) { return l.rfind(input + ": wrote ", 0) == 0; });
    EXPECT_NE(line, lines.end()) << input << "\n" << run.out;
  }
  ExpectDecodes(dir.File("out/one.sup"), kSrtStarts, 480);
  ExpectDecodes(dir.File("out/two.sup"), kSubStarts, 480);
  ExpectDecodes(dir.File("out/three.sup"), kSrtStarts, 480);
  ExpectDecodes(dir.File("out/four.sup"), kSubStarts, 480);
  ExpectVobSubDecodes(dir.File("out/one.idx"), dir.File("out/one.sub"), kSrtStarts, 480);
  ExpectVobSubDecodes(dir.File("out/two.vobsub.idx"), dir.File("out/two.vobsub.sub"), kSubStarts, 480);
  ExpectVobSubDecodes(dir.File("out/three.idx"), dir.File("out/three.sub"), kSrtStarts, 480);
  ExpectVobSubDecodes(dir.File("out/four.idx"), dir.File("out/four.sub"), kSubStarts, 480);
  const std::string help = ReadFile(dir.File("out/one.Quillet_Help.txt"));
  EXPECT_EQ(help.rfind("All Done !!! (Case : No Ifo)\r\n", 0), 0u);
  EXPECT_TRUE(help.ends_with(dir.File("out/one.sup") + "\r\n" + dir.File("out/one.idx") + "\r\n" +
                             dir.File("out/one.sub") + "\r\n" + dir.File("out/one.Quillet_Help.txt")));
  EXPECT_FALSE(fs::exists(dir.File("one.sup")));  // -o: nothing beside the inputs
}

TEST(NamedConvert, FormatAndLanguageChooseTheVobSubPairBesideOrInsteadOfTheSup) {
  if (!test::FfmpegDemuxerAvailable()) GTEST_SKIP() << "built without libavformat";
  TempDir dir;
  const std::string srt = Copy(dir, "e2e_three_entries.srt", "film.srt");
  const std::string sub = dir.Write("other.sub", kMicroDvd);  // a MicroDVD .sub: its pair must not replace it
  const ProgramRun both = RunQuilletProgram({"convert", "--format", "both", "--language", "DE", srt, sub});
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_TRUE(Contains(both.out, srt + ": wrote " + dir.File("film.sup") + ", " + dir.File("film.idx") + ", " +
                                     dir.File("film.sub") + ", " + dir.File("film.Quillet_Help.txt")))
      << both.out;
  EXPECT_EQ(ReadFile(sub), kMicroDvd);
  for (const auto& [sup, idx] : {std::pair{dir.File("film.sup"), dir.File("film.idx")},
                                 std::pair{dir.File("other.sup"), dir.File("other.vobsub.idx")}}) {
    const std::vector<test::SupPacket> packets = test::SplitSupFile(ReadFile(sup));
    const test::DemuxedFile pair = test::DemuxWithFfmpeg(idx);
    ASSERT_EQ(pair.streams.size(), 1u) << idx;
    EXPECT_EQ(pair.streams[0].language, "de") << idx;
    ASSERT_EQ(pair.packets.size(), packets.size()) << idx;
    for (std::size_t i = 0; i < packets.size(); ++i) EXPECT_EQ(pair.packets[i].data, packets[i].unit) << idx << i;
  }

  TempDir alone;
  const std::string film = Copy(alone, "e2e_three_entries.srt", "film.srt");
  const ProgramRun vobSub = RunQuilletProgram({"convert", "--quiet", "--format", "vobsub", film});
  ASSERT_EQ(vobSub.status, 0) << vobSub.err;
  EXPECT_FALSE(fs::exists(alone.File("film.sup")));
  EXPECT_EQ(test::DemuxWithFfmpeg(alone.File("film.idx")).packets.size(), 3u);
  EXPECT_EQ(test::DemuxWithFfmpeg(alone.File("film.idx")).streams[0].language, "en");
}

TEST(NamedConvert, WritesTheSameBytesAsTheSixteenValueRun) {
  TempDir named, positional;
  const std::string a = Copy(named, "e2e_three_entries.srt", "film.srt");
  const std::string b = Copy(positional, "e2e_three_entries.srt", "film.srt");
  const std::string ifoA = Copy(named, "ifo_greys_pal.ifo", "VTS_01_0.IFO");
  const std::string ifoB = Copy(positional, "ifo_greys_pal.ifo", "VTS_01_0.IFO");
  const ProgramRun run =
      RunQuilletProgram({"convert", "--quiet", "--ifo", ifoA, "--colors", "1,0,2,0", "--style", "bold", "--size", "24",
                         "--align", "left", "--offset", "40", "--offset-or", "-6", "--outline", "2", a});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");  // --quiet
  const ProgramRun old =
      RunQuilletProgram({"0", ifoB, b, "-1", "1", "0", "2", "0", "0", "4", "1", "18", "1", "40", "-6", "0"});
  ASSERT_EQ(old.status, 0) << old.err;
  const std::string sup = ReadFile(named.File("film.sup"));
  EXPECT_FALSE(sup.empty());
  EXPECT_EQ(sup, ReadFile(positional.File("film.sup")));
}

TEST(NamedConvert, NamesEachBadFileAndStillConvertsTheOthers) {
  TempDir dir;
  const std::string good1 = Copy(dir, "e2e_three_entries.srt", "good1.srt");
  const std::string garbage = dir.Write("garbage.srt", "this is not a subtitle\n");
  const std::string wide = dir.Write("wide.srt", "1\n00:00:01,000 --> 00:00:02,000\n" + std::string(60, 'W') + "\n\n");
  const std::string missing = dir.File("missing.srt");
  const std::string good2 = dir.Write("good2.sub", kMicroDvd);
  const ProgramRun run = RunQuilletProgram({"convert", "-j", "2", good1, garbage, wide, missing, good2});
  EXPECT_EQ(run.status, 1);
  const std::vector<std::string> errors = Lines(run.err);
  ASSERT_EQ(errors.size(), 3u) << run.err;
  auto errorFor = [&](const std::string& file) {
    for (const std::string& line : errors) {
      if (line.rfind(file + ": ", 0) == 0) return line.substr(file.size() + 2);
    }
    return std::string("(not named)");
  };
  EXPECT_EQ(errorFor(garbage), "Unsupported Subtitle Format !");
  EXPECT_EQ(errorFor(missing), "the file does not exist");
  EXPECT_TRUE(Contains(errorFor(wide), "entry 1: line 1 is ")) << errorFor(wide);
  EXPECT_TRUE(Contains(errorFor(wide), "pixels wide")) << errorFor(wide);
  EXPECT_TRUE(Contains(errorFor(wide), "(use a smaller --size, or --wrap)")) << errorFor(wide);
  ExpectDecodes(dir.File("good1.sup"), kSrtStarts, 576);
  ExpectDecodes(dir.File("good2.sup"), kSubStarts, 576);
  for (const char* name : {"garbage.sup", "wide.sup", "missing.sup", "wide.Quillet_Help.txt"}) {
    EXPECT_FALSE(fs::exists(dir.File(name))) << name;
  }
  EXPECT_EQ(Lines(run.out).size(), 2u) << run.out;
}

// (A MicroDVD file read with --fps is one of the subtitle corpus.)
TEST(NamedConvert, WrapBreaksAWideLineAtABlankAndAMicroDvdFileWithoutARateAsksForFps) {
  TempDir dir;
  std::string words;
  for (int i = 0; i < 6; ++i) words += "Lengthy words ";
  const std::string wide = dir.Write("wide.srt", "1\n00:00:01,000 --> 00:00:02,000\n" + words + "\n");
  const std::string word = dir.Write("word.srt", "1\n00:00:01,000 --> 00:00:02,000\n" + std::string(60, 'W') + "\n");
  const std::string noRate = dir.Write("norate.sub", "{25}{75}Hello|World\n{100}{150}Second\n");
  const ProgramRun run = RunQuilletProgram({"convert", "--wrap", wide, word, noRate});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Lines(run.err).size(), 2u) << run.err;
  EXPECT_TRUE(Contains(run.err, word + ": entry 1: line 1 is ")) << run.err;
  EXPECT_TRUE(Contains(run.err, "no breaking at blanks makes it fit")) << run.err;
  EXPECT_TRUE(Contains(run.err, noRate + ": the MicroDVD file declares no frame rate")) << run.err;
  EXPECT_FALSE(fs::exists(dir.File("norate.sup")));
  ExpectDecodes(dir.File("wide.sup"), {1000 * 90}, 576);
}

// A Hebrew line whose full stop is stored first: --direction ltr moves the stop to the other end of the line (where
// each direction puts it is the layout's test).
TEST(NamedConvert, DirectionSetsTheBaseDirectionOfEveryLine) {
  TempDir dir, out[2];
  const std::string srt = dir.Write("he.srt", "1\n00:00:01,000 --> 00:00:02,000\n.\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D\n");
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(
        RunQuilletProgram({"convert", "--direction", i ? "ltr" : "rtl", "-o", out[i].Path().string(), srt}).status, 0);
  }
  EXPECT_FALSE(ReadFile(out[0].File("he.sup")) == ReadFile(out[1].File("he.sup")));
}

TEST(NamedConvert, EntriesWrittenOtherwiseThanTheFileSaysAreToldOnOneLineAfterTheFileName) {
  TempDir dir;
  const std::string srt = dir.Write("film.srt",
                                    "1\r\n00:00:05,000 --> 00:00:04,000\r\nBackwards\r\n\r\n2\r\n00:00:06,000 --> "
                                    "00:00:07,000\r\nFine\r\n\r\n");
  const ProgramRun run = RunQuilletProgram({"convert", "--quiet", srt});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_EQ(lines.size(), 1u) << run.err;
  EXPECT_EQ(lines[0].rfind(srt + ": 1 entry is not written", 0), 0u) << lines[0];  // the wording is RunNotice's
  EXPECT_EQ(test::SplitSupFile(ReadFile(dir.File("film.sup"))).size(), 1u);
}

TEST(NamedConvert, InputsThatWouldWriteTheSameOutputAreNotConvertedOverEachOther) {
  TempDir dir;
  fs::create_directories(dir.Path() / "a");
  fs::create_directories(dir.Path() / "b");
  fs::create_directories(dir.Path() / "out");
  const std::string srt = Copy(dir, "e2e_three_entries.srt", "film.srt");
  const std::string sub = dir.Write("film.sub", kMicroDvd);  // film.sup too
  const std::string a = Copy(dir, "e2e_three_entries.srt", "a/movie.srt");
  const std::string b = dir.Write("b/movie.srt", kOtherFilm);
  const ProgramRun beside = RunQuilletProgram({"convert", "-j", "2", srt, sub, srt});
  EXPECT_EQ(beside.status, 1);
  const std::vector<std::string> errors = Lines(beside.err);
  ASSERT_EQ(errors.size(), 2u) << beside.err;
  EXPECT_EQ(
      errors[0].rfind(sub + ": not converted: its output " + dir.File("film.sup") + " is also the output of " + srt, 0),
      0u)
      << errors[0];
  EXPECT_EQ(errors[1].rfind(srt + ": not converted: ", 0), 0u) << errors[1];
  ExpectDecodes(dir.File("film.sup"), kSrtStarts, 576);  // the first file's, whole

  const ProgramRun gathered = RunQuilletProgram({"convert", "-o", dir.File("out"), a, b});
  EXPECT_EQ(gathered.status, 1);
  EXPECT_EQ(gathered.err.rfind(b + ": not converted: its output ", 0), 0u) << gathered.err;
  ExpectDecodes(dir.File("out/movie.sup"), kSrtStarts, 576);
}

TEST(NamedConvert, AVobSubPairThatWouldReplaceAnotherInputIsRefusedAndThatInputStillConverts) {
  TempDir dir;
  fs::create_directories(dir.Path() / "a");
  fs::create_directory_symlink(dir.Path() / "a", dir.Path() / "link");
  const std::string srt = Copy(dir, "e2e_three_entries.srt", "film.srt");  // its pair: film.idx, film.sub
  const std::string sub = dir.Write("film.sub", kMicroDvd);
  const ProgramRun both = RunQuilletProgram({"convert", "-j", "2", "--format", "both", srt, sub});
  EXPECT_EQ(both.status, 1);
  EXPECT_EQ(both.err, srt + ": not converted: its output " + dir.File("film.sub") + " is the input " + sub + "\n");
  EXPECT_EQ(ReadFile(sub), kMicroDvd);
  EXPECT_FALSE(fs::exists(dir.File("film.idx")));
  ExpectDecodes(dir.File("film.sup"), kSubStarts, 576);  // the MicroDVD file's, as nothing else claims it
  EXPECT_TRUE(fs::exists(dir.File("film.vobsub.idx")));

  // The same through an output folder that is a link back to the inputs' folder.
  const std::string linkedSrt = Copy(dir, "e2e_three_entries.srt", "a/movie.srt");
  const std::string linkedSub = dir.Write("a/movie.sub", kMicroDvd);
  const ProgramRun linked =
      RunQuilletProgram({"convert", "--quiet", "--format", "vobsub", "-o", dir.File("link"), linkedSrt, linkedSub});
  EXPECT_EQ(linked.status, 1);
  EXPECT_EQ(
      linked.err.rfind(
          linkedSrt + ": not converted: its output " + dir.File("link/movie.sub") + " is the input " + linkedSub, 0),
      0u)
      << linked.err;
  EXPECT_EQ(ReadFile(linkedSub), kMicroDvd);
  EXPECT_TRUE(fs::exists(dir.File("a/movie.vobsub.sub")));
}

TEST(NamedConvert, AnExistingSubThatIsNotAVobSubStreamIsNotWrittenOverButAnEarlierPairIs) {
  TempDir dir;
  const std::string srt = Copy(dir, "e2e_three_entries.srt", "film.srt");
  const std::string microDvd = dir.Write("film.sub", kMicroDvd);  // the same film's other subtitle, not given
  const ProgramRun refused = RunQuilletProgram({"convert", "--format", "both", srt});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, srt + ": not converted: its output " + microDvd +
                             " exists and is not a VobSub stream this program wrote (a MicroDVD subtitle, or a "
                             "ripped VobSub pair?); it is not written over (use -o DIR)\n");
  EXPECT_EQ(ReadFile(microDvd), kMicroDvd);
  EXPECT_FALSE(fs::exists(dir.File("film.sup")));

  fs::remove(microDvd);
  for (int run = 0; run < 2; ++run) {  // the second run replaces the first one's pair
    const ProgramRun written = RunQuilletProgram({"convert", "--quiet", "--format", "vobsub", srt});
    ASSERT_EQ(written.status, 0) << written.err;
    ExpectVobSubDecodes(dir.File("film.idx"), microDvd, kSrtStarts, 576);
  }
}

TEST(NamedConvert, EveryUsageErrorSaysWhatIsWrongAndWritesNothing) {
  TempDir dir;
  const std::string srt = Copy(dir, "e2e_three_entries.srt", "film.srt");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"convert", "--align", "middle", srt}, "quillet convert: --align: 'middle' is not one of left, center, right"},
      {{"convert", "--size", "31", srt},
       "quillet convert: --size: '31' is not one of 6 to 30, or an even size from 32 to 50"},
      {{"convert", "--frobnicate", srt}, "quillet convert: unknown option '--frobnicate'"},
      {{"convert", srt, "--offset"}, "quillet convert: --offset: needs a value"},
      {{"convert", "--quiet"}, "quillet convert: no subtitle file given: quillet convert [options] FILE..."},
      {{"convert", "--font", "No Such Family 42", srt},
       "quillet convert: --font: 'No Such Family 42' is not an installed font family (fc-list : family lists them)"},
      {{"convert", "-o", dir.File("nowhere"), srt},
       "quillet convert: -o: '" + dir.File("nowhere") + "' is not a folder"},
      {{"convert", "--pal", "--ntsc", srt}, "quillet convert: --pal and --ntsc cannot be used together"},
      {{"convert", "-o", "out\n\x1B[2J", srt},
       "quillet convert: -o: 'out\\n\\x1B[2J' cannot name an output: it holds a line break"},
      {{"check", "--outline", "5", srt}, "quillet check: --outline: '5' is not one of 2, 3, 4 (pixels)"},
  };
  for (const auto& [args, message] : cases) {
    const ProgramRun run = RunQuilletProgram(args);
    EXPECT_EQ(run.status, 2) << message;
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 2u) << run.err;
    EXPECT_EQ(lines[0], message);
    EXPECT_EQ(lines[1], "Try 'quillet " + args[0] + " --help'.");
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(fs::exists(dir.File("film.sup")));
}

TEST(NamedConvert, AnIfoThatCannotBeReadFailsTheRunBeforeAnyFile) {
  TempDir dir;
  const std::string srt = Copy(dir, "e2e_three_entries.srt", "film.srt");
  const std::string ifo = Copy(dir, "ifo_truncated.ifo", "VTS_01_0.IFO");
  const ProgramRun run = RunQuilletProgram({"convert", "--ifo", ifo, srt});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind(ifo + ": ", 0), 0u) << run.err;
  EXPECT_FALSE(fs::exists(dir.File("film.sup")));
}

TEST(NamedCommands, HelpTextsGoToStandardOutput) {
  const ProgramRun convert = RunQuilletProgram({"convert", "--help"});
  EXPECT_EQ(convert.status, 0);
  EXPECT_EQ(convert.out.rfind("Usage: quillet convert [options] FILE...", 0), 0u) << convert.out;
  EXPECT_TRUE(Contains(convert.out, "--offset-or N"));
  const ProgramRun check = RunQuilletProgram({"check", "-h"});
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.out.rfind("Usage: quillet check [options] FILE...", 0), 0u) << check.out;
  const ProgramRun general = RunQuilletProgram({"--help"});
  EXPECT_TRUE(Contains(general.out, "quillet convert [options] FILE..."));
  EXPECT_TRUE(Contains(general.out, "quillet mux [options] -o OUT.mpg VIDEO.mpg SUBTITLE..."));
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

// Entry 1 too wide (so also cut at both sides), 2 overlapping 3, 4 ending before it starts (within 3's time, but
// not written, so 3 overlaps nothing), 5 longer than a subpicture can be shown, 6 with a character no font has
// (U+0378 is unassigned).
const std::string kEveryProblem = "1\r\n00:00:01,000 --> 00:00:02,000\r\n" + std::string(50, 'W') +
                                  "\r\n\r\n"
                                  "2\r\n00:00:03,000 --> 00:00:05,000\r\nOverlaps the next\r\n\r\n"
                                  "3\r\n00:00:04,500 --> 00:00:06,000\r\nStarts too early\r\n\r\n"
                                  "4\r\n00:00:05,500 --> 00:00:05,000\r\nEnds before it starts\r\n\r\n"
                                  "5\r\n00:00:10,000 --> 00:13:00,000\r\nThirteen minutes\r\n\r\n"
                                  "6\r\n00:14:00,000 --> 00:14:02,000\r\nUnassigned \xCD\xB8 here\r\n\r\n"
                                  "7\r\n00:00:00,100 --> 00:00:00,900\r\nFirst in time\r\n\r\n";

TEST(NamedCheck, ListsEveryProblemOneLineEachAndWritesNothing) {
  TempDir dir;
  const std::string srt = dir.Write("film.srt", kEveryProblem);
  const ProgramRun run = RunQuilletProgram({"check", srt});
  EXPECT_EQ(run.status, 1);
  const std::vector<std::string> lines = Lines(run.err);
  const std::vector<std::string> expected = {
      "entry 1: line 1 is ",  // the width depends on the font
      "entry 1: text clipped by the frame (left, right)",
      "entry 2: overlaps entry 3 (ends at 00:00:05,000, the next starts at 00:00:04,500)",
      "entry 4: ends before it starts (from 00:00:05,500 to 00:00:05,000); a DVD cannot show it, so it is not written",
      "entry 5: lasts 00:12:50,000, longer than the 00:12:25,643 a DVD subpicture can be shown",
      "entry 6: no installed font has the character U+0378",
  };
  ASSERT_EQ(lines.size(), expected.size()) << run.err;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind(srt + ": " + expected[i], 0), 0u) << lines[i];
  }
  EXPECT_TRUE(Contains(lines[0], "pixels wide, the frame holds lines up to 679")) << lines[0];
  EXPECT_EQ(Lines(run.out).size(), 1u);
  EXPECT_EQ(run.out.rfind(srt + ": 6 problems (7 entries, largest subpicture ", 0), 0u) << run.out;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator{}), 1);
}

// A file of thousands of broken entries gives a list a person can read: the first problems, then their count.
TEST(NamedCheck, ListsAFewHundredProblemsAndCountsTheRest) {
  TempDir dir;
  std::string text;
  for (int n = 1; n <= 320; ++n) text += std::to_string(n) + "\n00:00:02,000 --> 00:00:01,000\nback\n\n";
  const std::string srt = dir.Write("film.srt", text);
  const ProgramRun run = RunQuilletProgram({"check", srt});
  EXPECT_EQ(run.status, 1);
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_EQ(lines.size(), 301u);
  EXPECT_EQ(lines[299].rfind(srt + ": entry 300: ends before it starts", 0), 0u) << lines[299];
  EXPECT_EQ(lines[300], srt + ": and 20 more problems, not listed");
  EXPECT_EQ(run.out.rfind(srt + ": 320 problems (320 entries", 0), 0u) << run.out;
}

// A file-size limit makes the write fail with a message instead of ending the process without a word.
TEST(NamedConvert, AFileSizeLimitIsAFailedWriteWithAMessage) {
  TempDir dir;
  const std::string srt = Copy(dir, "e2e_three_entries.srt", "film.srt");
  const ProgramRun run =
      test::RunProgram("/bin/sh", {"-c", "ulimit -f 1 && exec \"$0\" \"$@\"", test::ProgramCopy(), "convert", srt});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(Contains(run.err, srt + ": Cannot write the file \"" + dir.File("film.sup") + "\": File too large."))
      << run.err;
  EXPECT_FALSE(fs::exists(dir.File("film.sup")));
}

// As root in a folder of another user's: the file they planted at an output's name is replaced by root's own file
// (not theirs, not writable by them), and their link to a file of root's is refused and the file left as it was.
TEST(NamedConvert, AnotherUsersPlantedFilesAndLinksLeaveNothingOfTheirsInTheOutputs) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  constexpr uid_t kOther = 65534;
  TempDir dir;
  const std::string secret = dir.Write("secret", "root's");
  const std::string theirs = dir.File("theirs");
  fs::create_directory(theirs);
  const std::string a = Copy(dir, "e2e_three_entries.srt", "theirs/a.srt");
  const std::string b = Copy(dir, "e2e_three_entries.srt", "theirs/b.srt");
  const std::string planted = dir.Write("theirs/a.sup", "");
  ASSERT_EQ(::chmod(planted.c_str(), 0666), 0);
  fs::create_symlink(secret, dir.File("theirs/b.Quillet_Help.txt"));
  for (const std::string& path : {theirs, a, b, planted, dir.File("theirs/b.Quillet_Help.txt")}) {
    ASSERT_EQ(::lchown(path.c_str(), kOther, kOther), 0);
  }
  const ProgramRun run = RunQuilletProgram({"convert", a, b});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, b + ": not converted: its output " + dir.File("theirs/b.Quillet_Help.txt") +
                                    " exists and is a link to \"" + secret + "\", which is not an instruction file"))
      << run.err;
  EXPECT_EQ(ReadFile(secret), "root's");
  for (const char* name : {"a.sup", "a.Quillet_Help.txt"}) {
    struct stat info {};
    ASSERT_EQ(::stat(dir.File(std::string("theirs/") + name).c_str(), &info), 0) << name;
    EXPECT_EQ(info.st_uid, 0u) << name;
    EXPECT_EQ(info.st_mode & 0022, 0u) << name;
  }
}

TEST(NamedCheck, ACleanFileExitsZeroAndItsLargestSubpictureIsTheOneConvertWrites) {
  TempDir dir;
  const std::string srt = Copy(dir, "e2e_three_entries.srt", "film.srt");
  const ProgramRun check = RunQuilletProgram({"check", "--size", "36", "--style", "Bold", srt});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_EQ(check.err, "");
  const ProgramRun convert = RunQuilletProgram({"convert", "--size", "36", "--style", "Bold", srt});
  ASSERT_EQ(convert.status, 0) << convert.err;
  std::size_t largest = 0;
  for (const test::SupPacket& packet : test::SplitSupFile(ReadFile(dir.File("film.sup")))) {
    largest = std::max(largest, packet.unit.size());
  }
  EXPECT_EQ(check.out,
            srt + ": no problems (3 entries, largest subpicture " + std::to_string(largest) + " of 53220 bytes)\n");
}

TEST(NamedCheck, AFileThatCannotBeReadIsAProblem) {
  TempDir dir;
  const std::string bad = dir.Write("bad.srt", "nothing here\n");
  const ProgramRun run = RunQuilletProgram({"check", "--quiet", bad});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, bad + ": cannot be read: Unsupported Subtitle Format !\n");
  EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace quillet
