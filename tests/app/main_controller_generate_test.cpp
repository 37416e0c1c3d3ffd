// "Generate Sup": its refusals, the run with its progress and re-entrant "Abort", the final report of each
// palette case, and a run that fails half-way.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/messages.h"
#include "dvdsub_decoder.h"
#include "scripted_view.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::ControllerHarness;
using test::CopyData;
using test::TempDir;

constexpr int kEntries = 10;  // ctl_ten_entries.srt: entry i (1-based) starts at 1000 + 3000 (i - 1) ms
uint32_t StartPts(int entry) { return static_cast<uint32_t>(1000 + 3000 * (entry - 1)) * 90; }

std::vector<test::SupPacket> Packets(const std::string& supPath) { return test::SplitSupFile(test::ReadFile(supPath)); }

// The window is idle: every control enabled, the button reads "Generate Sup", no run is active.
void ExpectIdle(const MainState& s) {
  EXPECT_TRUE(s.controlsIdle);
  EXPECT_EQ(s.ButtonGenerateSup, "Generate Sup");
  EXPECT_TRUE(s.GenerationStopped);
}

class Generate : public ::testing::Test {
 protected:
  Generate() : subtitle(CopyData(dir, "ctl_ten_entries.srt", "movie.srt")) {}

  std::string Sup() const { return dir.File("movie.sup"); }
  std::string Help() const { return dir.File("movie.Quillet_Help.txt"); }

  TempDir dir;
  std::string subtitle;
};

TEST_F(Generate, RefusesWithoutALoadedFittingSubtitleOrWithoutAPalette) {
  struct Case {
    const char* what;
    std::function<void(ControllerHarness&, const std::string&)> setUp;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"nothing loaded", [](ControllerHarness&, const std::string&) {}, "Please load an Srt/Sub/Txt subtitle."},
      {"the last width check failed",
       [](ControllerHarness& h, const std::string& sub) {
         h.ReadyWithoutIfo(sub);
         h.controller.SelectListItem(ListId::FontSize, 34);
         h.controller.ChangeList(ListId::FontSize, 34);  // size 50: a line is too long now
       },
       "Please use smaller font."},
      {"the no-IFO box unticked after the subtitle was loaded",
       [](ControllerHarness& h, const std::string& sub) {
         h.ReadyWithoutIfo(sub);
         h.controller.SetNoIfo(false);
       },
       kNoPaletteYetMessage},
  };
  for (const Case& c : cases) {
    ControllerHarness h;
    c.setUp(h, subtitle);
    h.view.ClearRecords();
    h.controller.ButtonGenerateSupClick();
    ASSERT_FALSE(h.view.messages.empty()) << c.what;
    EXPECT_EQ(h.view.messages.back(), c.message) << c.what;
    EXPECT_TRUE(h.view.errors.empty()) << c.what;
    EXPECT_EQ(h.view.buttonCaptions, (std::vector<std::string>{"Abort", "Generate Sup"})) << c.what;
    ExpectIdle(h.State());
    EXPECT_FALSE(fs::exists(Sup())) << c.what;
    EXPECT_FALSE(fs::exists(Help())) << c.what;
  }
}

// Every repaint let through, so the view hears of each entry.
ControllerOptions EveryRepaint(ControllerOptions options = ControllerHarness::SequentialOptions()) {
  options.repaintInterval = std::chrono::milliseconds(0);
  return options;
}

TEST_F(Generate, WritesEveryEntryInOrderThenTheInstructionFileAndTheReport) {
  ControllerHarness h(EveryRepaint());
  h.ReadyWithoutIfo(subtitle);
  h.view.ClearRecords();
  const int eventsBefore = h.view.processEventsCalls;
  std::vector<bool> idleDuringRun;
  h.view.onProcessEvents = [&](int) { idleDuringRun.push_back(h.State().controlsIdle); };
  h.controller.ButtonGenerateSupClick();

  EXPECT_TRUE(h.view.errors.empty());
  const std::vector<test::SupPacket> packets = Packets(Sup());
  ASSERT_EQ(packets.size(), static_cast<std::size_t>(kEntries));
  for (int i = 1; i <= kEntries; ++i) EXPECT_EQ(packets[i - 1].pts90k, StartPts(i)) << "entry " << i;

  // Events run once per entry, with the controls out of reach and the button reading "Abort".
  EXPECT_EQ(h.view.processEventsCalls - eventsBefore, kEntries);
  EXPECT_EQ(idleDuringRun, std::vector<bool>(kEntries, false));
  EXPECT_EQ(h.view.buttonCaptions, (std::vector<std::string>{"Abort", "Generate Sup"}));
  // The bar's maximum is entries - 1: it is full at the second-to-last entry and stays full.
  EXPECT_EQ(h.State().ProgressBar1.max, kEntries - 1);
  EXPECT_EQ(h.view.progressPositions, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 9}));

  ASSERT_EQ(h.view.messages.size(), 1u);
  EXPECT_EQ(h.view.messages[0], test::ReadFile(Help()));
  ExpectIdle(h.State());

  // The window is ready for another run, which overwrites both files.
  test::WriteFile(Sup(), std::string(100000, 'x'));
  test::WriteFile(Help(), "old");
  h.controller.ButtonGenerateSupClick();
  EXPECT_EQ(Packets(Sup()).size(), static_cast<std::size_t>(kEntries));
  EXPECT_EQ(test::ReadFile(Help()), h.view.messages[0]);
}

TEST_F(Generate, EntriesWrittenOtherwiseAreNamedAfterTheFinalReport) {
  test::WriteFile(subtitle, "1\n00:00:01,000 --> 00:00:03,000\nFine\n\n2\n00:00:10,000 --> 00:16:00,000\nLong\n");
  ControllerHarness h;
  h.ReadyWithoutIfo(subtitle);
  h.view.ClearRecords();
  h.controller.ButtonGenerateSupClick();
  EXPECT_TRUE(h.view.errors.empty());
  EXPECT_TRUE(h.view.notices.empty());  // a person is there: told in the window
  ASSERT_EQ(h.view.messages.size(), 2u);
  EXPECT_EQ(h.view.messages[0], test::ReadFile(Help()));
  EXPECT_EQ(h.view.messages[1],
            "1 entry had times a DVD cannot hold: entry 2 lasts longer than 745.6 s (shown for 745.6 s).");
  ExpectIdle(h.State());
}

TEST_F(Generate, TheWindowShowsTheEntryBeingWritten) {
  ControllerOptions options = EveryRepaint();
  options.showFramesDuringGeneration = true;
  ControllerHarness h(options);
  h.ReadyWithoutIfo(subtitle);
  const Image24 beforeRun = h.State().preview;
  // What the window shows while entry i is written.
  std::vector<Image24> shown;
  h.view.onProcessEvents = [&](int) { shown.push_back(h.State().preview); };
  h.controller.ButtonGenerateSupClick();

  ASSERT_EQ(shown.size(), static_cast<std::size_t>(kEntries));
  EXPECT_NE(shown[0], beforeRun);  // the first entry is on show while it is written
  // The last entry is on show while it is written, and stays when the run ends.
  EXPECT_EQ(h.State().preview.Height(), 576);
  EXPECT_EQ(shown.back(), h.State().preview);
  for (int i = 1; i < kEntries; ++i) EXPECT_NE(shown[i], shown[i - 1]) << "entry " << i + 1;
}

TEST_F(Generate, FramesAndTheBarRepaintTogetherAtMostOncePerIntervalAndTheBarsEndAlwaysShows) {
  // Each look at the clock finds it 20 ms later: with 33 ms between repaints, entries 1, 3, 5, 7 and 9 repaint.
  ControllerOptions options = ControllerHarness::SequentialOptions();
  options.showFramesDuringGeneration = true;
  int looks = 0;
  options.clock = [&looks] { return SteadyTime{} + std::chrono::milliseconds(20 * looks++); };
  ControllerHarness h(options);
  h.ReadyWithoutIfo(subtitle);
  h.view.ClearRecords();
  h.controller.ButtonGenerateSupClick();

  EXPECT_EQ(looks, kEntries);
  // The bar is full from entry 9 on, and shows so at entry 10 too.
  EXPECT_EQ(h.view.progressPositions, (std::vector<int>{1, 3, 5, 7, 9, 9}));
  // Five frames during the run, and the last entry once it has ended.
  EXPECT_EQ(h.view.pictureChanges, 6);
  EXPECT_EQ(Packets(Sup()).size(), static_cast<std::size_t>(kEntries));
}

TEST_F(Generate, TheFinalReportTellsThePaletteCaseAndNamesBothFiles) {
  struct Case {
    const char* what;
    std::function<void(ControllerHarness&, const TempDir&)> palette;
    std::string firstLine;
  };
  const std::vector<Case> cases = {
      {"IFO accepted", [](ControllerHarness& h, const TempDir& d) { h.LoadIfo(CopyData(d, "ifo_greys_pal.ifo")); },
       "All Done !!! (Case : With Ifo)"},
      {"IFO rejected",
       [](ControllerHarness& h, const TempDir& d) { h.LoadIfo(CopyData(d, "ifo_monochrome_ntsc.ifo")); },
       "All Done !!! (Case : Monocromatic Ifo)"},
      {"no IFO", [](ControllerHarness& h, const TempDir&) { h.controller.SetNoIfo(true); },
       "All Done !!! (Case : No Ifo)"},
      // Rejected, then the box unticked and ticked again: both flags hold, and the monochromatic case wins.
      {"IFO rejected, box unticked and ticked",
       [](ControllerHarness& h, const TempDir& d) {
         h.LoadIfo(CopyData(d, "ifo_monochrome_ntsc.ifo"));
         h.controller.SetNoIfo(false);
         h.controller.SetNoIfo(true);
       },
       "All Done !!! (Case : Monocromatic Ifo)"},
  };
  for (const Case& c : cases) {
    ControllerHarness h;
    c.palette(h, dir);
    h.LoadSubtitle(subtitle);
    h.view.ClearRecords();
    h.controller.ButtonGenerateSupClick();

    ASSERT_EQ(h.view.messages.size(), 1u) << c.what;
    const std::string& report = h.view.messages[0];
    EXPECT_EQ(report.substr(0, report.find("\r\n")), c.firstLine) << c.what;
    const std::string ending = "\r\n\r\n\r\nGenerated Files:\r\n" + Sup() + "\r\n" + Help();
    ASSERT_GE(report.size(), ending.size()) << c.what;
    EXPECT_EQ(report.substr(report.size() - ending.size()), ending) << c.what;
    EXPECT_EQ(test::ReadFile(Help()), report) << c.what;
    EXPECT_EQ(Packets(Sup()).size(), static_cast<std::size_t>(kEntries)) << c.what;
  }
}

// "Abort" pressed inside the events the run processes at entry k of 10.
struct AbortCase {
  int workers;
  int k;
};

class GenerateAbort : public Generate, public ::testing::WithParamInterface<AbortCase> {};

TEST_P(GenerateAbort, LeavesExactlyKPacketsAndNoInstructionFile) {
  const AbortCase c = GetParam();
  ControllerOptions options;
  options.generationWorkers = c.workers;
  ControllerHarness h(options);
  h.ReadyWithoutIfo(subtitle);
  h.view.ClearRecords();

  const int firstEntryEvents = h.view.processEventsCalls + 1;
  std::string buttonAtPress;
  h.view.onProcessEvents = [&](int call) {
    if (call != firstEntryEvents + c.k - 1) return;
    buttonAtPress = h.State().ButtonGenerateSup;
    h.controller.ButtonGenerateSupClick();  // the press arrives inside the running command
  };
  h.controller.ButtonGenerateSupClick();

  EXPECT_EQ(buttonAtPress, "Abort");
  EXPECT_EQ(h.view.messages, std::vector<std::string>{"Operation Aborted"});
  EXPECT_TRUE(h.view.errors.empty());
  const std::vector<test::SupPacket> packets = Packets(Sup());
  ASSERT_EQ(packets.size(), static_cast<std::size_t>(c.k));
  for (int i = 1; i <= c.k; ++i) EXPECT_EQ(packets[i - 1].pts90k, StartPts(i)) << "entry " << i;
  EXPECT_FALSE(fs::exists(Help()));
  EXPECT_EQ(h.view.processEventsCalls - firstEntryEvents + 1, c.k);  // later entries are skipped
  // The press reset the bar; it advanced once more for the entry that was finished.
  EXPECT_EQ(h.State().ProgressBar1.position, 1);
  ExpectIdle(h.State());
  EXPECT_EQ(h.view.endProgramCalls, 0);
}

// The repaints are throttled, so the entry shown when "Abort" is pressed may be long past; the message must
// stand beside the last entry the run writes.
TEST_F(Generate, TheAbortMessageStandsBesideTheLastEntryWritten) {
  ControllerOptions options = ControllerHarness::SequentialOptions();
  options.showFramesDuringGeneration = true;
  options.repaintInterval = std::chrono::hours(1);  // only the first entry is drawn on its own
  ControllerHarness h(options);
  h.ReadyWithoutIfo(subtitle);
  const int firstEntryEvents = h.view.processEventsCalls + 1;
  Image24 shownAtMessage;
  h.view.onProcessEvents = [&](int call) {
    if (call != firstEntryEvents + 6) return;
    h.controller.ButtonGenerateSupClick();  // entry 7: the last one written
    shownAtMessage = h.State().preview;
  };
  h.controller.ButtonGenerateSupClick();
  EXPECT_TRUE(shownAtMessage == h.State().preview);  // what the run shows at its end: entry 7
}

INSTANTIATE_TEST_SUITE_P(SequentialAndWorkers, GenerateAbort,
                         ::testing::Values(AbortCase{0, 1}, AbortCase{0, 4}, AbortCase{0, 10}, AbortCase{2, 1},
                                           AbortCase{2, 4}, AbortCase{2, 10}, AbortCase{-1, 7}),
                         [](const ::testing::TestParamInfo<AbortCase>& info) {
                           return (info.param.workers < 0 ? std::string("AutoWorkers")
                                                          : std::to_string(info.param.workers) + "Workers") +
                                  "AtEntry" + std::to_string(info.param.k);
                         });

TEST_F(Generate, ASupFileThatCannotBeCreatedPutsTheWindowBackToIdle) {
  ControllerHarness h;
  h.ReadyWithoutIfo(subtitle);
  fs::create_directory(Sup());  // a folder where the SUP file should go
  test::WriteFile(dir.File("movie.sup/keep"), "mine");
  h.view.ClearRecords();
  h.controller.ButtonGenerateSupClick();

  ASSERT_EQ(h.view.errors.size(), 1u);
  EXPECT_NE(h.view.errors[0].find(Sup()), std::string::npos) << h.view.errors[0];
  EXPECT_TRUE(h.view.messages.empty());
  ExpectIdle(h.State());
  EXPECT_EQ(h.view.buttonCaptions.back(), "Generate Sup");
  EXPECT_TRUE(fs::is_directory(Sup()));  // what was there is left alone
  EXPECT_EQ(test::ReadFile(dir.File("movie.sup/keep")), "mine");
  EXPECT_FALSE(fs::exists(Help()));

  // Once the way is clear, the next press runs normally.
  fs::remove_all(Sup());
  h.view.ClearRecords();
  h.controller.ButtonGenerateSupClick();
  EXPECT_TRUE(h.view.errors.empty());
  EXPECT_EQ(Packets(Sup()).size(), static_cast<std::size_t>(kEntries));
}

TEST_F(Generate, ASubtitleFolderRemovedAfterLoadingLeavesNoSupFile) {
  const fs::path folder = dir.Path() / "gone";
  fs::create_directory(folder);
  const std::string sub = CopyData(dir, "ctl_ten_entries.srt", "gone/film.srt");
  ControllerHarness h;
  h.ReadyWithoutIfo(sub);
  fs::remove_all(folder);
  h.view.ClearRecords();
  h.controller.ButtonGenerateSupClick();

  ASSERT_EQ(h.view.errors.size(), 1u);
  EXPECT_NE(h.view.errors[0].find((folder / "film.sup").string()), std::string::npos) << h.view.errors[0];
  ExpectIdle(h.State());
  EXPECT_FALSE(fs::exists(folder));
}

TEST_F(Generate, AnInstructionFileThatCannotBeWrittenIsReportedAndKeepsTheSupFile) {
  ControllerHarness h;
  h.ReadyWithoutIfo(subtitle);
  fs::create_directory(Help());
  h.view.ClearRecords();
  h.controller.ButtonGenerateSupClick();

  ASSERT_EQ(h.view.errors.size(), 1u);
  EXPECT_NE(h.view.errors[0].find(Help()), std::string::npos) << h.view.errors[0];
  EXPECT_TRUE(h.view.messages.empty());  // no report that says "All Done"
  EXPECT_EQ(Packets(Sup()).size(), static_cast<std::size_t>(kEntries));
  ExpectIdle(h.State());
}

TEST_F(Generate, EachPacketDecodesToAPictureInTheFrame) {
  if (!test::DvdSubDecoderAvailable()) GTEST_SKIP() << "built without libavcodec";
  ControllerHarness h;
  h.controller.SetNoIfo(true);
  h.controller.SelectPal(false);
  h.LoadSubtitle(subtitle);
  h.controller.ButtonGenerateSupClick();
  for (const test::SupPacket& packet : Packets(Sup())) {
    const test::DecodedSubpicture picture = test::DecodeDvdSubpicture(packet.unit, packet.pts90k);
    ASSERT_TRUE(picture.hasPicture);
    EXPECT_LE(picture.y + picture.height, 480);
    EXPECT_LE(picture.x + picture.width, 720);
  }
}

}  // namespace
}  // namespace quillet
