// The unattended run: a complete command line drives the window's own commands, and ends the program only
// when the SUP file was written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/messages.h"
#include "dvdsub_decoder.h"
#include "render/line_length_check.h"
#include "scripted_view.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using test::ControllerHarness;
using test::CopyData;
using test::TempDir;

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

class Unattended : public ::testing::Test {
 protected:
  Unattended()
      : greysIfo(CopyData(dir, "ifo_greys_pal.ifo", "VTS_01_0.IFO")),
        monoIfo(CopyData(dir, "ifo_monochrome_ntsc.ifo", "VTS_02_0.IFO")),
        subtitle(CopyData(dir, "e2e_three_entries.srt", "film.srt")) {}

  // The job of the window's defaults, without an IFO.
  std::vector<std::string> NoIfoJob() const {
    return {"-1", "none", subtitle, "-1", "1", "0", "3", "0", "0", "4", "0", "14", "0", "30", "-4", "1"};
  }
  std::vector<std::string> IfoJob(const std::string& ifo) const {
    return {"0", ifo, subtitle, "-1", "1", "0", "2", "0", "0", "4", "0", "14", "0", "30", "-4", "1"};
  }

  // A fresh controller started with `args`, activated once.
  std::unique_ptr<ControllerHarness> Run(const std::vector<std::string>& args) {
    fs::remove(Sup());
    fs::remove(Help());
    auto h = std::make_unique<ControllerHarness>(ControllerHarness::SequentialOptions(), args);
    h->controller.FormActivate();
    return h;
  }

  std::string Sup() const { return dir.File("film.sup"); }
  std::string Help() const { return dir.File("film.Quillet_Help.txt"); }

  TempDir dir;
  std::string greysIfo, monoIfo, subtitle;
};

TEST_F(Unattended, ASuccessfulRunShowsNothingWritesBothFilesAndEndsTheProgram) {
  auto h = Run(IfoJob(greysIfo));
  EXPECT_TRUE(h->view.messages.empty());
  EXPECT_TRUE(h->view.errors.empty());
  EXPECT_TRUE(h->view.dialogs.empty());
  EXPECT_EQ(h->view.endProgramCalls, 1);
  EXPECT_TRUE(StartsWith(test::ReadFile(Help()), "All Done !!! (Case : With Ifo)\r\n"));
  EXPECT_EQ(test::SplitSupFile(test::ReadFile(Sup())).size(), 3u);
  EXPECT_EQ(h->State().EditLoadSrt, subtitle);
}

TEST_F(Unattended, EntriesWrittenOtherwiseAreNamedOnStandardErrorAndTheRunStillEnds) {
  test::WriteFile(subtitle, "1\n00:00:01,000 --> 00:00:03,000\nFine\n\n2\n00:00:09,000 --> 00:00:04,000\nBackwards\n");
  auto job = NoIfoJob();
  job[3] = "0";     // NTSC
  job[13] = "492";  // the highest offset: the text band leaves the top of the 480-row frame
  auto h = Run(job);
  EXPECT_TRUE(h->view.messages.empty());
  EXPECT_TRUE(h->view.errors.empty());
  EXPECT_EQ(h->view.endProgramCalls, 1);
  ASSERT_EQ(h->view.notices.size(), 1u);
  const std::string& notice = h->view.notices[0];
  EXPECT_TRUE(StartsWith(notice,
                         "1 entry is not written, since a DVD player could not show it: entry 2 ends before it "
                         "starts.\r1 entry had text outside the frame, which a DVD player does not show: entry 1 "))
      << notice;
  EXPECT_EQ(test::SplitSupFile(test::ReadFile(Sup())).size(), 1u);
}

TEST_F(Unattended, HowTheTextWasReadIsToldOnStandardErrorAndTheRunStillEnds) {
  test::WriteFile(subtitle, "1\n00:00:01,000 --> 00:00:03,000\nCaf\xE9\n");
  auto h = Run(NoIfoJob());
  EXPECT_TRUE(h->view.messages.empty());
  EXPECT_EQ(h->view.endProgramCalls, 1);
  ASSERT_EQ(h->view.notices.size(), 1u);
  EXPECT_TRUE(StartsWith(h->view.notices[0], "read as Windows-1252 (")) << h->view.notices[0];
}

TEST_F(Unattended, TheFirstValueTellsWhetherAnIfoIsUsed) {
  struct Case {
    const char* text;
    bool noIfo;
  };
  for (Case c : {Case{"True", true}, Case{"true", true}, Case{"1", true}, Case{"-1", true}, Case{"2.5", true},
                 Case{"0", false}, Case{"0.0", false}, Case{"FALSE", false}}) {
    auto job = IfoJob(greysIfo);
    job[0] = c.text;
    auto h = Run(job);
    EXPECT_EQ(h->State().i_dont_have_ifo, c.noIfo) << c.text;
    EXPECT_EQ(h->view.endProgramCalls, 1) << c.text;
    EXPECT_TRUE(h->view.errors.empty()) << c.text;
    EXPECT_TRUE(
        StartsWith(test::ReadFile(Help()), c.noIfo ? "All Done !!! (Case : No Ifo)" : "All Done !!! (Case : With Ifo)"))
        << c.text;
  }
}

TEST_F(Unattended, AValueThatDoesNotConvertStopsTheRunWithItsMessage) {
  struct Case {
    int position;  // 0-based
    const char* text;
    bool withIfo;
    std::string error;
  };
  for (const Case& c : {Case{0, "yes", true, "'yes' is not a valid boolean value."},
                        Case{3, "maybe", false, "'maybe' is not a valid boolean value."},
                        Case{6, "two", false, "'two' is not a valid integer value."},
                        Case{13, "1e2", false, "'1e2' is not a valid integer value."}}) {
    auto job = c.withIfo ? IfoJob(greysIfo) : NoIfoJob();
    job[static_cast<std::size_t>(c.position)] = c.text;
    auto h = Run(job);
    EXPECT_EQ(h->view.errors, std::vector<std::string>{c.error}) << c.text;
    EXPECT_EQ(h->view.endProgramCalls, 0) << c.text;
    EXPECT_TRUE(h->State().Unattended) << c.text;
    EXPECT_FALSE(fs::exists(Sup())) << c.text;
  }
}

TEST_F(Unattended, WithAnIfoTheStandardValueIsNeverReadAndTheFileDecides) {
  auto job = IfoJob(greysIfo);
  job[3] = "not a boolean";
  auto h = Run(job);
  EXPECT_TRUE(h->view.errors.empty());
  EXPECT_TRUE(h->State().Pal);
  EXPECT_EQ(h->view.endProgramCalls, 1);

  job = IfoJob(monoIfo);
  job[3] = "-1";  // says PAL; the file says NTSC
  h = Run(job);
  EXPECT_FALSE(h->State().Pal);
  EXPECT_EQ(h->view.endProgramCalls, 1);
}

TEST_F(Unattended, WithoutAnIfoTheStandardValueChoosesTheFrame) {
  auto job = NoIfoJob();
  job[3] = "0";
  auto h = Run(job);
  EXPECT_FALSE(h->State().Pal);
  EXPECT_EQ(h->State().preview.Height(), 480);
  EXPECT_EQ(h->view.endProgramCalls, 1);
}

TEST_F(Unattended, TheCommandLinesOffsetsReachTheTrackBarsAsConverted) {
  // How values are clamped and made even is the command line's rule (tests/job); here they reach the window.
  auto job = NoIfoJob();
  job[13] = "1000";
  job[14] = "9";
  auto h = Run(job);
  EXPECT_EQ(h->State().offset.position, 492);
  EXPECT_EQ(h->State().offset_or.position, 10);
  EXPECT_EQ(h->State().LabelOffset, "492");
  EXPECT_EQ(h->State().LabelOffset_Or, "10");
  EXPECT_EQ(h->view.endProgramCalls, 1);
}

TEST_F(Unattended, AnIfoWithoutUsablePaletteStillCompletesWithTheCommandLineColours) {
  auto job = IfoJob(monoIfo);
  job[4] = "2";  // antialias 2 instead of the generic palette's 1
  auto h = Run(job);
  ASSERT_EQ(h->view.messages.size(), 1u);
  EXPECT_TRUE(StartsWith(h->view.messages[0], "ATTENTION :\r"));
  EXPECT_EQ(h->State().ComboBoxAntialias.itemIndex, 2);
  EXPECT_EQ(h->State().ComboBoxText.itemIndex, 2);
  EXPECT_TRUE(h->State().MonochromaticIfo);
  EXPECT_EQ(h->view.endProgramCalls, 1);
  EXPECT_TRUE(StartsWith(test::ReadFile(Help()), "All Done !!! (Case : Monocromatic Ifo)\r\n"));
}

TEST_F(Unattended, AFailedLoadLeavesTheWindowOpenAndALaterRunStillEndsTheProgram) {
  const std::string later = dir.File("later.srt");
  auto job = NoIfoJob();
  job[2] = later;  // not there yet
  auto h = Run(job);
  EXPECT_EQ(h->view.messages,
            (std::vector<std::string>{"Unsupported Subtitle Format !", "Please load an Srt/Sub/Txt subtitle."}));
  EXPECT_EQ(h->view.endProgramCalls, 0);
  EXPECT_TRUE(h->State().Unattended);

  // The file arrives; "Load SRT" uses the preset name without a dialog and without the success message.
  fs::copy_file(test::DataFile("e2e_three_entries.srt"), later);
  h->view.ClearRecords();
  h->controller.ButtonLoadSubClick();
  EXPECT_TRUE(h->view.dialogs.empty());
  EXPECT_TRUE(h->view.messages.empty());
  EXPECT_TRUE(h->State().SubtitleLoaded);
  h->controller.ButtonGenerateSupClick();
  EXPECT_TRUE(h->view.messages.empty());  // no final report
  EXPECT_EQ(h->view.endProgramCalls, 1);
  EXPECT_TRUE(fs::exists(dir.File("later.sup")));
  EXPECT_TRUE(fs::exists(dir.File("later.Quillet_Help.txt")));
}

TEST_F(Unattended, ALineTooLongStillShowsItsMessage) {
  auto job = NoIfoJob();
  job[2] = CopyData(dir, "ctl_line_too_long.srt");
  auto h = Run(job);
  ASSERT_EQ(h->view.messages.size(), 2u);
  EXPECT_NE(h->view.messages[0].find(std::string(kTooLongOnLoad)), std::string::npos);
  EXPECT_EQ(h->view.messages[1], "Please load an Srt/Sub/Txt subtitle.");
  EXPECT_EQ(h->view.endProgramCalls, 0);
}

TEST_F(Unattended, AMissingIfoIsReportedByName) {
  auto h = Run(IfoJob(dir.File("VTS_09_0.IFO")));
  ASSERT_EQ(h->view.errors.size(), 1u);
  EXPECT_NE(h->view.errors[0].find(dir.File("VTS_09_0.IFO")), std::string::npos) << h->view.errors[0];
  EXPECT_FALSE(h->State().IfoLoaded);
  EXPECT_EQ(h->view.endProgramCalls, 0);
  EXPECT_FALSE(fs::exists(Sup()));
}

TEST_F(Unattended, AListIndexOutsideItsListFailsALaterStepAndWritesNothing) {
  struct Case {
    int position;
    const char* text;
    std::string shown;  // the message or error, or empty for any one
  };
  for (const Case& c : {Case{11, "35", ""}, Case{15, "3", ""},
                        Case{4, "16", "No antialias colour is chosen. Please choose one from Color 0 to Color 15."},
                        Case{6, "-1", "No text colour is chosen. Please choose one from Color 0 to Color 15."},
                        Case{7, "99", "No background colour is chosen. Please choose one from Color 0 to Color 15."}}) {
    auto job = NoIfoJob();
    job[static_cast<std::size_t>(c.position)] = c.text;
    auto h = Run(job);
    std::vector<std::string> shown = h->view.messages;
    shown.insert(shown.end(), h->view.errors.begin(), h->view.errors.end());
    ASSERT_EQ(shown.size(), 1u) << c.position << " = " << c.text;
    if (!c.shown.empty()) {
      EXPECT_EQ(shown[0], c.shown);
    }
    EXPECT_EQ(h->view.endProgramCalls, 0) << c.position << " = " << c.text;
    EXPECT_FALSE(fs::exists(Sup())) << c.position << " = " << c.text;
    EXPECT_FALSE(fs::exists(Help())) << c.position << " = " << c.text;
  }
}

}  // namespace
}  // namespace quillet
