// Window creation, the set-default-values command, the track bars and the user's preview pictures.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "app/messages.h"
#include "render/preview_background.h"
#include "scripted_view.h"

namespace quillet {
namespace {

using test::ControllerHarness;
using test::CopyData;
using test::TempDir;

std::vector<std::string> CompleteJob() {
  return {"-1", "none", "/subs/film.srt", "-1", "1", "0", "3", "0", "0", "4", "0", "14", "0", "30", "-4", "1"};
}

// The settings held by lists and track bars (values 5 to 16 of a job), as the window shows them.
struct ListSettings {
  int antialias, outline, text, bg, fontName, charset, style, size, align, offset, offsetOr, outlineWidth;
  bool operator==(const ListSettings&) const = default;
};

ListSettings SettingsOf(const MainState& s) {
  return {s.ComboBoxAntialias.itemIndex, s.ComboBoxOutline.itemIndex,
          s.ComboBoxText.itemIndex,      s.ComboBoxBg.itemIndex,
          s.ComboBoxFontName.itemIndex,  s.ComboBoxFontCharset.itemIndex,
          s.ComboBoxFontStyle.itemIndex, s.ComboBoxFontSize.itemIndex,
          s.ComboBoxAlign.itemIndex,     s.offset.position,
          s.offset_or.position,          s.ComboBoxOutlineWidth.itemIndex};
}

constexpr ListSettings kDefaults{0, 0, 0, 0, 0, 4, 0, 14, 0, 30, -4, 1};

TEST(WindowCreation, SelectsTheDefaultsAndFillsTheFontList) {
  ControllerHarness h;
  const MainState& s = h.State();
  EXPECT_EQ(SettingsOf(s), kDefaults);
  EXPECT_EQ(s.LabelOffset, "30");
  EXPECT_EQ(s.LabelOffset_Or, "-4");
  ASSERT_GE(s.ComboBoxFontName.items.size(), 2u);
  EXPECT_EQ(s.ComboBoxFontName.Text(), "Arial");
  EXPECT_EQ(s.ComboBoxFontSize.Text(), "20");
  EXPECT_EQ(s.ComboBoxFontCharset.Text(), "DEFAULT");
  EXPECT_EQ(s.ComboBoxOutlineWidth.Text(), "3");
  EXPECT_FALSE(s.IfoLoaded);
  EXPECT_FALSE(s.SubtitleLoaded);
  EXPECT_TRUE(s.LinesFit);
  EXPECT_FALSE(s.NoIfo);
  EXPECT_TRUE(s.GenerationStopped);
  EXPECT_FALSE(s.Unattended);
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_TRUE(h.view.errors.empty());
}

TEST(WindowCreation, TheCommandLineDecidesWhetherTheRunIsUnattended) {
  {
    auto args = CompleteJob();
    args.push_back("seventeenth");
    ControllerHarness h(ControllerHarness::SequentialOptions(), args);
    EXPECT_TRUE(h.State().Unattended);
    EXPECT_EQ(h.State().CommandLineArgs[2], "/subs/film.srt");
    EXPECT_EQ(h.State().CommandLineArgs[15], "1");
  }
  {
    auto args = CompleteJob();
    args[0] = "haveifo";  // a value that spells its own name counts as missing
    ControllerHarness h(ControllerHarness::SequentialOptions(), args);
    EXPECT_FALSE(h.State().Unattended);
    h.controller.FormActivate();  // an interactive start: nothing runs
    EXPECT_FALSE(h.State().IfoLoaded);
    EXPECT_TRUE(h.view.messages.empty());
  }
}

TEST(TrackBars, OffsetOrSnapsOddPositionsUpAndTheLabelsFollow) {
  ControllerHarness h;
  struct Case {
    int moveTo, expected;
  };
  for (Case c : {Case{-3, -2}, Case{-5, -4}, Case{9, 10}, Case{-15, -14}, Case{11, 10}, Case{6, 6}}) {
    h.controller.MoveOffsetOr(c.moveTo);
    EXPECT_EQ(h.State().offset_or.position, c.expected) << c.moveTo;
    EXPECT_EQ(h.State().LabelOffset_Or, std::to_string(c.expected)) << c.moveTo;
  }
  for (Case c : {Case{1000, 492}, Case{-7, 8}, Case{77, 77}}) {
    h.controller.MoveOffset(c.moveTo);
    EXPECT_EQ(h.State().offset.position, c.expected) << c.moveTo;
    EXPECT_EQ(h.State().LabelOffset, std::to_string(c.expected)) << c.moveTo;
  }
}

TEST(TrackBars, TheSnappedOffsetOrIsWhatThePreviewDraws) {
  // An odd position drawn by mistake would show the second line one row off: compare with the even one.
  ControllerHarness odd, even;
  for (ControllerHarness* h : {&odd, &even}) {
    h->controller.FormActivate();
    h->controller.SetNoIfo(true);
  }
  odd.controller.MoveOffsetOr(-7);
  even.controller.MoveOffsetOr(-6);
  EXPECT_EQ(odd.State().offset_or.position, -6);
  EXPECT_NE(odd.State().preview, BuiltInPreviewBackground(VideoStandard::Pal));
  EXPECT_EQ(odd.State().preview, even.State().preview);
}

class SetDefaultValues : public ::testing::Test {
 protected:
  // Every setting away from its default, the user's pictures chosen, the no-IFO box ticked with NTSC, and a
  // subtitle loaded.
  void ChangeEverything() {
    h.controller.FormActivate();
    h.controller.SetNoIfo(true);
    h.controller.SelectPal(false);
    h.LoadSubtitle(CopyData(dir, "ctl_ten_entries.srt"));
    for (ListId id : {ListId::Antialias, ListId::Outline, ListId::Text, ListId::Bg, ListId::FontName,
                      ListId::FontCharset, ListId::FontStyle, ListId::FontSize, ListId::Align, ListId::OutlineWidth}) {
      h.controller.SelectListItem(id, 2);
    }
    h.controller.MoveOffset(100);
    h.controller.MoveOffsetOr(6);
    h.controller.SetUserPicture(true, dir.File("pal.bmp"));
    h.controller.SetUserPicture(false, dir.File("ntsc.bmp"));
    h.controller.SetVobSubToo(true);
  }

  TempDir dir;
  ControllerHarness h;
};

TEST_F(SetDefaultValues, ResetsTheSettingsAndFlagsButKeepsFilesListAndStandard) {
  ChangeEverything();
  const MainState before = h.State();
  h.view.ClearRecords();
  h.controller.BitBtnSetDefaultValuesClick();

  const MainState& s = h.State();
  EXPECT_EQ(SettingsOf(s), kDefaults);
  EXPECT_EQ(s.LabelOffset, "30");
  EXPECT_EQ(s.LabelOffset_Or, "-4");
  EXPECT_EQ(s.ComboBoxFontName.items, before.ComboBoxFontName.items);
  EXPECT_TRUE(s.LabelImageChangedPAL.empty());
  EXPECT_TRUE(s.LabelImageChangedNTSC.empty());
  EXPECT_EQ(s.output, OutputOptions{});  // the SUP file alone
  // Clearing the no-IFO box ran its action: no palette, "Load IFO" enabled again.
  EXPECT_FALSE(s.i_dont_have_ifo);
  EXPECT_FALSE(s.palette.has_value());
  EXPECT_TRUE(s.ButtonLoadIfoEnabled);
  EXPECT_FALSE(s.PalNtscEnabled);
  EXPECT_FALSE(s.IfoLoaded);
  EXPECT_FALSE(s.SubtitleLoaded);
  EXPECT_FALSE(s.NoIfo);
  EXPECT_TRUE(s.LinesFit);
  EXPECT_FALSE(s.Unattended);
  // Left as they were.
  EXPECT_FALSE(s.Pal);
  EXPECT_EQ(s.preview.Height(), 480);
  EXPECT_EQ(s.OpenDialogsub.fileName, before.OpenDialogsub.fileName);
  EXPECT_EQ(s.EditLoadSrt, before.EditLoadSrt);
  EXPECT_EQ(s.ListBoxPreview, before.ListBoxPreview);
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_TRUE(h.view.errors.empty());

  // A palette is needed again before a subtitle, and generation asks for a subtitle.
  h.controller.ButtonGenerateSupClick();
  h.LoadSubtitle(before.OpenDialogsub.fileName);
  EXPECT_EQ(h.view.messages, (std::vector<std::string>{"Please load an Srt/Sub/Txt subtitle.", kNoPaletteYetMessage}));
}

TEST_F(SetDefaultValues, KeepsAnIfosSwatchesAndTheMonochromaticCase) {
  h.LoadIfo(CopyData(dir, "ifo_greys_pal.ifo"));
  h.controller.BitBtnSetDefaultValuesClick();
  ASSERT_TRUE(h.State().palette.has_value());
  EXPECT_FALSE(h.State().palette->generic);
  EXPECT_FALSE(h.State().IfoLoaded);
  EXPECT_NE(h.State().EditLoadIfo, "Load IFO");

  h.LoadIfo(CopyData(dir, "ifo_monochrome_ntsc.ifo"));
  h.controller.BitBtnSetDefaultValuesClick();
  EXPECT_TRUE(h.State().MonochromaticIfo);
  EXPECT_FALSE(h.State().i_dont_have_ifo);
  EXPECT_FALSE(h.State().palette.has_value());
  EXPECT_FALSE(h.State().Pal);
}

TEST(SetDefaultValuesUnattended, ReadsTheCommandLineAgain) {
  ControllerHarness h(ControllerHarness::SequentialOptions(), CompleteJob());
  h.controller.BitBtnSetDefaultValuesClick();
  EXPECT_TRUE(h.State().Unattended);
  EXPECT_EQ(h.State().CommandLineArgs[2], "/subs/film.srt");
}

TEST(ChangeImage, AsksForThePalThenTheNtscPictureAndKeepsANameOnCancel) {
  TempDir dir;
  ControllerHarness h;
  h.controller.FormActivate();

  // First time, both cancelled: nothing changes.
  h.view.AnswerDialog(std::nullopt);
  h.view.AnswerDialog(std::nullopt);
  h.controller.BitBtnChangeImageClick();
  ASSERT_EQ(h.view.dialogs.size(), 2u);
  EXPECT_EQ(h.view.dialogs[0].title, "Load 720x576 PAL image");
  EXPECT_EQ(h.view.dialogs[0].filter, "Load your PAL 720x576 BMP|*.bmp");
  EXPECT_EQ(h.view.dialogs[1].title, "Load 720x480 NTSC image");
  EXPECT_EQ(h.view.dialogs[1].filter, "Load your NTSC 720x480 BMP|*.bmp");
  EXPECT_TRUE(h.State().LabelImageChangedPAL.empty());
  EXPECT_TRUE(h.State().LabelImageChangedNTSC.empty());

  // A picture that does not exist is remembered, and the built-in one is shown in its place.
  h.view.AnswerDialog(dir.File("coast.bmp"));
  h.view.AnswerDialog(std::nullopt);
  h.controller.BitBtnChangeImageClick();
  EXPECT_EQ(h.State().LabelImageChangedPAL, dir.File("coast.bmp"));
  EXPECT_TRUE(h.State().LabelImageChangedNTSC.empty());
  EXPECT_EQ(h.State().preview, BuiltInPreviewBackground(VideoStandard::Pal));

  h.controller.SetUserPicture(true, "");
  h.view.AnswerDialog(std::nullopt);  // the dialog still holds coast.bmp: it is set again
  h.view.AnswerDialog(dir.File("ntsc.bmp"));
  h.controller.BitBtnChangeImageClick();
  EXPECT_EQ(h.State().LabelImageChangedPAL, dir.File("coast.bmp"));
  EXPECT_EQ(h.State().LabelImageChangedNTSC, dir.File("ntsc.bmp"));
  EXPECT_TRUE(h.view.errors.empty());
}

TEST(ChangeImage, APictureThatCannotBeUsedIsToldOnceAndTheBuiltInOneShown) {
  TempDir dir;
  const std::string pipe = dir.File("coast.bmp");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);  // reading it would wait for ever for a writer
  ControllerHarness h;
  h.controller.FormActivate();
  h.view.ClearRecords();
  h.view.AnswerDialog(pipe);
  h.view.AnswerDialog(std::nullopt);
  h.controller.BitBtnChangeImageClick();
  EXPECT_EQ(h.view.messages, (std::vector<std::string>{"The preview picture \"" + pipe +
                                                       "\" cannot be used: it is a named pipe (FIFO), not a regular "
                                                       "file. The built-in picture is shown instead."}));
  EXPECT_EQ(h.State().preview, BuiltInPreviewBackground(VideoStandard::Pal));
  // Every redraw reloads the background; the person has been told already.
  h.controller.SelectPal(false);
  h.controller.SelectPal(true);
  EXPECT_EQ(h.view.messages.size(), 1u);
}

}  // namespace
}  // namespace quillet
