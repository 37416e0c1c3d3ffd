// The palette commands of the main window: "Load IFO", the no-IFO box and the Pal / Ntsc choice, and the states
// they leave behind.
#include <gtest/gtest.h>

#include <string>

#include "app/messages.h"
#include "render/preview_background.h"
#include "scripted_view.h"

namespace quillet {
namespace {

using test::ControllerHarness;
using test::CopyData;
using test::TempDir;

enum class Swatches { None, Ifo, Generic };

// One row of the palette state table.
struct PaletteRow {
  Swatches swatches = Swatches::None;
  int bg = 0, text = 0, outline = 0, antialias = 0;
  bool ifoLoaded = false;
  bool noIfo = false;
  bool monochromatic = false;
  bool loadIfoEnabled = true;
  bool pal = true;
  bool palNtscEnabled = false;

  bool operator==(const PaletteRow&) const = default;
};

std::ostream& operator<<(std::ostream& os, const PaletteRow& r) {
  const char* swatches = r.swatches == Swatches::None ? "none" : r.swatches == Swatches::Ifo ? "ifo" : "generic";
  return os << "{swatches " << swatches << ", roles bg " << r.bg << " text " << r.text << " outline " << r.outline
            << " antialias " << r.antialias << ", IfoLoaded " << r.ifoLoaded << ", NoIfo " << r.noIfo
            << ", MonochromaticIfo " << r.monochromatic << ", ButtonLoadIfo " << r.loadIfoEnabled << ", Pal " << r.pal
            << ", Pal/Ntsc enabled " << r.palNtscEnabled << "}";
}

PaletteRow RowOf(const MainState& s) {
  PaletteRow row;
  row.swatches = !s.palette ? Swatches::None : s.palette->generic ? Swatches::Generic : Swatches::Ifo;
  row.bg = s.ComboBoxBg.itemIndex;
  row.text = s.ComboBoxText.itemIndex;
  row.outline = s.ComboBoxOutline.itemIndex;
  row.antialias = s.ComboBoxAntialias.itemIndex;
  row.ifoLoaded = s.IfoLoaded;
  row.noIfo = s.NoIfo;
  row.monochromatic = s.MonochromaticIfo;
  row.loadIfoEnabled = s.ButtonLoadIfoEnabled;
  row.pal = s.Pal;
  row.palNtscEnabled = s.PalNtscEnabled;
  return row;
}

constexpr const char* kMonochromaticNotice =
    "ATTENTION :\rYour loaded ifo has not a polycromatic color palette.\rProbably this ifo does not contain any "
    "subtitle and you are tryng to add the first one. \rQuillet will create an generic polycromatic color palette "
    "in order to generate a correct colored sup file.\rAfter the generation of the sup file , Quillet will tell "
    "you what to do using Ifoedit.\rFor now just load your Srt and press Generate sup.";

// Something was drawn over the background: the preview differs from the plain built-in picture.
bool PreviewShowsText(const MainState& s) { return s.preview != BuiltInPreviewBackground(s.Standard()); }

class PaletteCommands : public ::testing::Test {
 protected:
  TempDir dir;
  ControllerHarness h;
};

TEST_F(PaletteCommands, StartOfProgram) {
  EXPECT_EQ(RowOf(h.State()), (PaletteRow{Swatches::None, 0, 0, 0, 0, false, false, false, true, true, false}));
  EXPECT_FALSE(h.State().i_dont_have_ifo);
  EXPECT_EQ(h.State().EditLoadIfo, "Load IFO");
}

TEST_F(PaletteCommands, AcceptedIfoShowsItsColoursAndPicksTheGreys) {
  const std::string ifo = CopyData(dir, "ifo_greys_pal.ifo", "VTS_01_0.IFO");
  h.controller.FormActivate();
  h.LoadIfo(ifo);

  // Greys 16, 128, 235, 128 in entries 0 to 3: background and outline 0, antialias 1, text 2.
  EXPECT_EQ(RowOf(h.State()), (PaletteRow{Swatches::Ifo, 0, 2, 0, 1, true, false, false, true, true, false}));
  EXPECT_EQ(h.State().palette->entries[0].tooltip, "00108080");
  EXPECT_EQ(h.State().EditLoadIfo, ifo);
  EXPECT_FALSE(h.State().i_dont_have_ifo);
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_TRUE(h.view.errors.empty());
  ASSERT_EQ(h.view.dialogs.size(), 1u);
  EXPECT_EQ(h.view.dialogs[0].filter, "ifo|*.ifo");
  EXPECT_EQ(h.view.processEventsCalls, 1);
  EXPECT_TRUE(PreviewShowsText(h.State()));
}

TEST_F(PaletteCommands, RejectedIfoFallsBackToTheGenericPaletteWithTheNotice) {
  h.LoadIfo(CopyData(dir, "ifo_monochrome_ntsc.ifo"));

  EXPECT_EQ(RowOf(h.State()), (PaletteRow{Swatches::Generic, 0, 3, 0, 1, true, false, true, false, false, false}));
  EXPECT_TRUE(h.State().i_dont_have_ifo);
  ASSERT_EQ(h.view.messages.size(), 1u);
  EXPECT_EQ(h.view.messages[0], kMonochromaticNotice);
  EXPECT_EQ(h.State().preview.Height(), 480);  // the file decided NTSC
  EXPECT_TRUE(PreviewShowsText(h.State()));
}

TEST_F(PaletteCommands, TickingTheBoxThenNtscThenUntickingIt) {
  h.controller.SetNoIfo(true);
  EXPECT_EQ(RowOf(h.State()), (PaletteRow{Swatches::Generic, 0, 3, 0, 1, true, true, false, false, true, true}));
  EXPECT_EQ(h.State().palette->entries[2].tooltip, "170170170");

  h.controller.SelectPal(false);
  EXPECT_EQ(h.State().preview.Height(), 480);

  h.controller.ChangeList(ListId::Text, 7);
  h.controller.SetNoIfo(false);
  // Unticked: no swatches, the roles as they were, Ntsc kept but out of reach.
  EXPECT_EQ(RowOf(h.State()), (PaletteRow{Swatches::None, 0, 7, 0, 1, false, false, false, true, false, false}));
  EXPECT_TRUE(h.view.messages.empty());
}

TEST_F(PaletteCommands, TickUntickTickEndsWithTheGenericPalette) {
  h.controller.SetNoIfo(true);
  h.controller.ChangeList(ListId::Bg, 5);
  h.controller.SetNoIfo(false);
  h.controller.SetNoIfo(true);
  EXPECT_EQ(RowOf(h.State()), (PaletteRow{Swatches::Generic, 0, 3, 0, 1, true, true, false, false, true, true}));
}

TEST_F(PaletteCommands, SettingTheBoxToItsOwnStateRunsNothing) {
  h.controller.SetNoIfo(false);
  EXPECT_EQ(RowOf(h.State()), (PaletteRow{Swatches::None, 0, 0, 0, 0, false, false, false, true, true, false}));
  h.controller.SetNoIfo(true);
  h.controller.ChangeList(ListId::Text, 9);
  h.controller.SetNoIfo(true);  // already ticked: the roles are not chosen again
  EXPECT_EQ(h.State().ComboBoxText.itemIndex, 9);
}

TEST_F(PaletteCommands, RejectedIfoThenUntickFreesTheButtonForAnotherIfo) {
  h.LoadIfo(CopyData(dir, "ifo_monochrome_ntsc.ifo"));
  h.controller.SetNoIfo(false);
  EXPECT_EQ(RowOf(h.State()), (PaletteRow{Swatches::None, 0, 3, 0, 1, false, false, true, true, false, false}));

  // Another IFO, a usable one, puts its palette in place and clears the monochromatic case.
  h.LoadIfo(CopyData(dir, "ifo_greys_pal.ifo"));
  EXPECT_EQ(RowOf(h.State()), (PaletteRow{Swatches::Ifo, 0, 2, 0, 1, true, false, false, true, true, false}));
  EXPECT_EQ(h.view.messages.size(), 1u);  // only the first file's notice
}

TEST_F(PaletteCommands, ACancelledFirstDialogDoesNothingAndALaterCancelKeepsTheName) {
  h.view.AnswerDialog(std::nullopt);
  h.controller.ButtonLoadIfoClick();
  EXPECT_EQ(RowOf(h.State()), (PaletteRow{Swatches::None, 0, 0, 0, 0, false, false, false, true, true, false}));
  EXPECT_EQ(h.view.processEventsCalls, 0);
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_TRUE(h.view.errors.empty());

  const std::string ifo = CopyData(dir, "ifo_greys_pal.ifo");
  h.LoadIfo(ifo);
  h.controller.ChangeList(ListId::Text, 9);
  h.view.AnswerDialog(std::nullopt);  // the dialog still holds the file: it is read again
  h.controller.ButtonLoadIfoClick();
  EXPECT_EQ(h.State().ComboBoxText.itemIndex, 2);
  EXPECT_EQ(h.State().OpenDialogifo.fileName, ifo);
}

TEST_F(PaletteCommands, AFileThatCannotBeReadChangesNoPaletteState) {
  h.LoadIfo(CopyData(dir, "ifo_greys_pal.ifo"));
  h.controller.ChangeList(ListId::Text, 9);
  const PaletteRow before = RowOf(h.State());

  for (const std::string& bad : {dir.File("missing.ifo"), CopyData(dir, "ifo_truncated.ifo")}) {
    h.view.errors.clear();
    h.LoadIfo(bad);
    EXPECT_EQ(RowOf(h.State()), before) << bad;
    ASSERT_EQ(h.view.errors.size(), 1u) << bad;
    EXPECT_NE(h.view.errors[0].find(bad), std::string::npos) << h.view.errors[0];
  }
}

TEST_F(PaletteCommands, WithoutAPaletteSettingsChangesDrawNothingButTheLabelsFollow) {
  h.controller.FormActivate();
  h.controller.ChangeList(ListId::FontSize, 20);
  h.controller.ChangeList(ListId::Text, 4);
  h.controller.MoveOffset(100);
  EXPECT_FALSE(PreviewShowsText(h.State()));
  EXPECT_EQ(h.State().LabelOffset, "100");
  EXPECT_TRUE(h.view.messages.empty());

  h.controller.SetNoIfo(true);
  EXPECT_TRUE(PreviewShowsText(h.State()));
}

TEST_F(PaletteCommands, TheSampleLosesItsFullStopAtTheFirstSettingsChange) {
  h.controller.FormActivate();
  h.controller.SetNoIfo(true);
  const Image24 afterPalette = h.State().preview;
  h.controller.ChangeList(ListId::Text, h.State().ComboBoxText.itemIndex);  // same colours, redrawn
  const Image24 afterChange = h.State().preview;
  EXPECT_NE(afterPalette, afterChange);  // "Crete Hellas." then "Crete Hellas"
  h.controller.ChangeList(ListId::Bg, h.State().ComboBoxBg.itemIndex);
  EXPECT_EQ(h.State().preview, afterChange);
}

TEST_F(PaletteCommands, TheTitlesAspectSetsTheWideScreenBoxAndChecksTheLinesAgain) {
  // The same title set with its video attributes saying 16:9 (bits 11-10 set).
  std::string bytes = test::ReadFile(test::DataFile("ifo_greys_pal.ifo"));
  bytes[0x200] = static_cast<char>(bytes[0x200] | 0x0C);
  const std::string wide = dir.Write("VTS_02_0.IFO", bytes);
  const std::string standard = CopyData(dir, "ifo_greys_pal.ifo", "VTS_01_0.IFO");
  // About 750 pixels wide at 4:3 and 560 at 16:9.
  const std::string srt = dir.Write("film.srt", "1\n00:00:01,000 --> 00:00:02,000\n" + std::string(30, 'W') + "\n");
  h.controller.FormActivate();
  h.LoadIfo(wide);
  EXPECT_TRUE(h.State().CheckBoxWideScreen);
  h.LoadSubtitle(srt);
  EXPECT_TRUE(h.State().SubtitleLoaded) << (h.view.messages.empty() ? "" : h.view.messages.back());
  EXPECT_TRUE(h.State().LinesFit);
  h.view.messages.clear();

  h.LoadIfo(standard);
  EXPECT_FALSE(h.State().CheckBoxWideScreen);
  EXPECT_FALSE(h.State().LinesFit);
  ASSERT_FALSE(h.view.messages.empty());
  EXPECT_TRUE(h.view.messages.back().ends_with("is too long. Please use a smaler font size."))
      << h.view.messages.back();
}

}  // namespace
}  // namespace quillet
