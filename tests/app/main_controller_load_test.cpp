// "Load SRT", the subtitle list, and the line length check that the load and the font changes run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/messages.h"
#include "render/line_length_check.h"
#include "scripted_view.h"

namespace quillet {
namespace {

using test::ControllerHarness;
using test::CopyData;
using test::TempDir;

constexpr int kSize20 = 14;  // size list indexes
constexpr int kSize50 = 34;
const std::string kLoaded = std::string(kAllLinesFitMessage);

std::string TooLong(const std::string& line1, const std::string& line2, std::string_view ending) {
  return "The string \r" + line1 + "\r" + line2 + "\r" + std::string(ending);
}

class LoadSubtitle : public ::testing::Test {
 protected:
  TempDir dir;
  ControllerHarness h;
};

TEST_F(LoadSubtitle, BeforeAnyPaletteItIsRefusedAndNothingIsRead) {
  h.LoadSubtitle(CopyData(dir, "ctl_ten_entries.srt"));
  EXPECT_EQ(h.view.messages, std::vector<std::string>{kNoPaletteYetMessage});
  EXPECT_EQ(h.view.processEventsCalls, 0);
  EXPECT_EQ(h.SubtitleDocument(), nullptr);
  EXPECT_TRUE(h.State().ListBoxPreview.empty());
  EXPECT_FALSE(h.State().SubtitleLoaded);
  EXPECT_FALSE(h.State().LinesFit);  // cleared before the check for a palette
  EXPECT_EQ(h.State().caption, "Quillet By Veltrix");
}

TEST_F(LoadSubtitle, WithAPaletteButNoFileNameItIsRefused) {
  h.controller.SetNoIfo(true);
  h.view.AnswerDialog(std::nullopt);
  h.controller.ButtonLoadSubClick();
  EXPECT_EQ(h.view.messages, std::vector<std::string>{kNoPaletteYetMessage});
  EXPECT_EQ(h.SubtitleDocument(), nullptr);
}

TEST_F(LoadSubtitle, ListsTheEntriesChecksThemAndNamesTheFile) {
  const std::string path = CopyData(dir, "ctl_ten_entries.srt");
  h.controller.SetNoIfo(true);
  h.view.ClearRecords();
  h.LoadSubtitle(path);

  const MainState& s = h.State();
  ASSERT_EQ(s.ListBoxPreview.size(), 10u);
  EXPECT_EQ(s.ListBoxPreview[0], "Where were you last night?");
  EXPECT_EQ(s.ListBoxPreview[1], "I waited for you|until the bus left.");
  EXPECT_EQ(s.ListBoxPreview[2], "Rethymno.");
  EXPECT_EQ(s.ListBoxPreviewIndex, 0);
  EXPECT_EQ(h.view.messages, std::vector<std::string>{kLoaded});
  EXPECT_TRUE(s.SubtitleLoaded);
  EXPECT_TRUE(s.LinesFit);
  EXPECT_EQ(s.EditLoadSrt, path);
  ASSERT_EQ(h.view.dialogs.size(), 1u);
  EXPECT_EQ(h.view.dialogs[0].filter, "*.srt;*.sub;*.txt|*.srt;*.sub;*.txt|*.vtt;*.ass;*.ssa|*.vtt;*.ass;*.ssa");
  EXPECT_EQ(h.view.processEventsCalls, 1);
  EXPECT_EQ(h.view.captions, (std::vector<std::string>{"Quillet By Veltrix", "Quillet By Veltrix Loading Subtitle...",
                                                       "Quillet By Veltrix"}));
}

TEST_F(LoadSubtitle, ALineTooLongRefusesTheWholeFile) {
  h.controller.SetNoIfo(true);
  h.view.ClearRecords();
  h.LoadSubtitle(CopyData(dir, "ctl_line_too_long.srt"));

  // Only the first entry that does not fit is reported; the message shows both of its lines.
  EXPECT_EQ(h.view.messages,
            std::vector<std::string>{TooLong(
                "Fine.", "This second line is far too long for any frame at this size, really", kTooLongOnLoad)});
  EXPECT_TRUE(h.State().ListBoxPreview.empty());
  EXPECT_EQ(h.State().EditLoadSrt, "Load SRT");
  EXPECT_FALSE(h.State().SubtitleLoaded);
  EXPECT_FALSE(h.State().LinesFit);
  EXPECT_EQ(h.State().caption, "Quillet By Veltrix");

  h.view.ClearRecords();
  h.controller.ButtonGenerateSupClick();
  EXPECT_EQ(h.view.messages, std::vector<std::string>{"Please load an Srt/Sub/Txt subtitle."});
}

TEST_F(LoadSubtitle, BreakLongLinesBreaksTheTooLongEntryAndLoadsTheFile) {
  h.controller.SetNoIfo(true);
  h.controller.SetBreakLongLines(true);
  h.view.ClearRecords();
  h.LoadSubtitle(CopyData(dir, "ctl_line_too_long.srt"));

  EXPECT_EQ(h.view.messages, std::vector<std::string>{kLoaded});
  ASSERT_EQ(h.State().ListBoxPreview.size(), 3u);
  const SubtitleLine entry = h.controller.SubtitleDocument()->GetLine(2);  // where it breaks: line_wrap_test
  EXPECT_EQ(entry.Line1 + " " + entry.Line2,
            "Fine. This second line is far too long for any frame at this size, really");

  // At a size where no break fits, the font change refuses as before.
  h.view.ClearRecords();
  h.controller.ChangeList(ListId::FontSize, kSize50);
  ASSERT_FALSE(h.view.messages.empty());
  EXPECT_TRUE(h.view.messages.back().ends_with(std::string(kTooLongAfterFontChange))) << h.view.messages.back();
  EXPECT_FALSE(h.State().LinesFit);
}

TEST_F(LoadSubtitle, AFailedSecondLoadStillReplacesTheFirst) {
  h.ReadyWithoutIfo(CopyData(dir, "ctl_ten_entries.srt"));
  const std::string first = h.State().EditLoadSrt;

  struct Case {
    const char* name;
    const char* bytes;
    bool error;  // reported through the error box rather than a message
  };
  for (const Case& c : {Case{"notes.txt", "plain words, no frame numbers\r\n", false},
                        Case{"broken.sub", "{1}{1}23,976\r\n{25}{50}Text\r\n", true}}) {
    h.view.ClearRecords();
    h.LoadSubtitle(dir.Write(c.name, c.bytes));
    EXPECT_TRUE(h.State().ListBoxPreview.empty()) << c.name;
    EXPECT_FALSE(h.State().SubtitleLoaded) << c.name;
    EXPECT_EQ(h.State().EditLoadSrt, "Load SRT") << c.name;
    EXPECT_EQ(h.State().caption, "Quillet By Veltrix") << c.name;
    if (c.error) {
      EXPECT_TRUE(h.view.messages.empty()) << c.name;
      ASSERT_EQ(h.view.errors.size(), 1u) << c.name;
      EXPECT_NE(h.view.errors[0].find("broken.sub"), std::string::npos) << h.view.errors[0];
    } else {
      EXPECT_EQ(h.view.messages, std::vector<std::string>{"Unsupported Subtitle Format !"}) << c.name;
      EXPECT_EQ(h.SubtitleDocument()->Count(), 0) << c.name;
    }
  }
  EXPECT_NE(first, "Load SRT");
}

// The line length check after font changes, with a subtitle that fits at size 20 and not at size 50.
class FontChangeCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    h.ReadyWithoutIfo(CopyData(dir, "ctl_wide_at_large_sizes.srt"));
    ASSERT_TRUE(h.State().SubtitleLoaded);
    h.view.ClearRecords();
  }

  const std::string kEntry2Line1 = "A line that fits only a small font";
  const std::string kEntry2Line2 = "and a second line";
  TempDir dir;
  ControllerHarness h;
};

TEST_F(FontChangeCheck, ALargerSizeFailsTheCheckButKeepsTheList) {
  h.controller.ChangeList(ListId::FontSize, kSize50);

  EXPECT_EQ(h.view.messages, std::vector<std::string>{TooLong(kEntry2Line1, kEntry2Line2, kTooLongAfterFontChange)});
  EXPECT_EQ(h.State().ListBoxPreview.size(), 3u);
  EXPECT_TRUE(h.State().SubtitleLoaded);
  EXPECT_FALSE(h.State().LinesFit);
  EXPECT_EQ(h.view.captions,
            (std::vector<std::string>{"Quillet By Veltrix Checking Subtitle Length...", "Quillet By Veltrix"}));

  h.view.ClearRecords();
  h.controller.ButtonGenerateSupClick();
  h.controller.ButtonBatchClick();
  EXPECT_EQ(h.view.messages, (std::vector<std::string>{"Please use smaller font.", "Please use smaller fonts."}));

  // Back to a size that fits: the check passes and says so again.
  h.view.ClearRecords();
  h.controller.ChangeList(ListId::FontSize, kSize20);
  EXPECT_EQ(h.view.messages, std::vector<std::string>{kLoaded});
  EXPECT_TRUE(h.State().LinesFit);
}

TEST_F(FontChangeCheck, EveryFontListButTheCharsetRunsTheFullCheck) {
  h.controller.SelectListItem(ListId::FontSize, kSize50);  // program code: no change action, no check

  // A charset or alignment change redraws the selected entry ("Hi.", which fits) but checks nothing more.
  h.controller.ChangeList(ListId::FontCharset, 0);
  h.controller.ChangeList(ListId::Align, 1);
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_TRUE(h.State().LinesFit);
  EXPECT_EQ(h.view.captions, std::vector<std::string>{"Quillet By Veltrix"});

  for (ListId id : {ListId::FontStyle, ListId::FontName, ListId::OutlineWidth}) {
    h.view.ClearRecords();
    h.controller.ChangeList(id, 1);
    EXPECT_EQ(h.view.messages.size(), 1u) << static_cast<int>(id);
    EXPECT_FALSE(h.State().LinesFit) << static_cast<int>(id);
  }
}

TEST_F(FontChangeCheck, TheSelectedEntryTooLongShowsThePreviewMessageThenTheFullCheck) {
  h.controller.ListBoxPreviewClick(1);
  h.controller.ChangeList(ListId::FontSize, kSize50);
  EXPECT_EQ(h.view.messages, (std::vector<std::string>{TooLong(kEntry2Line1, kEntry2Line2, kTooLongInPreview),
                                                       TooLong(kEntry2Line1, kEntry2Line2, kTooLongAfterFontChange)}));
}

TEST_F(FontChangeCheck, ClickingAnEntryPreviewsItAndChecksItsWidth) {
  h.controller.SelectListItem(ListId::FontSize, kSize50);
  h.controller.ListBoxPreviewClick(1);
  EXPECT_EQ(h.view.messages, std::vector<std::string>{TooLong(kEntry2Line1, kEntry2Line2, kTooLongInPreview)});
  EXPECT_FALSE(h.State().LinesFit);
  EXPECT_EQ(h.State().ListBoxPreviewIndex, 1);

  h.view.ClearRecords();
  h.controller.ListBoxPreviewClick(0);
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_TRUE(h.State().LinesFit);
}

TEST_F(FontChangeCheck, WithoutAPaletteTheFontChangeChecksNothing) {
  h.controller.SetNoIfo(false);  // the palette goes; the subtitle stays loaded
  h.view.ClearRecords();
  h.controller.ChangeList(ListId::FontSize, kSize50);
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_TRUE(h.State().LinesFit);
}

// A file handed to the window from outside (its command line, a drop) loads without a dialog; with no IFO yet, under
// the generic palette.
TEST_F(LoadSubtitle, AFileOpenedFromOutsideLoadsAsItsButtonWouldWithoutADialog) {
  const std::string srt = CopyData(dir, "ctl_ten_entries.srt");
  const std::string ifo = CopyData(dir, "ifo_greys_pal.ifo", "VTS_01_0.IFO");
  const std::string lowerCaseIfo = CopyData(dir, "ifo_greys_pal.ifo", "vts_02_0.ifo");
  for (const std::vector<std::string>& files : {std::vector{srt}, std::vector{ifo, srt}, std::vector{lowerCaseIfo}}) {
    ControllerHarness fresh;
    for (const std::string& file : files) fresh.controller.OpenFile(file);
    const MainState& s = fresh.State();
    const bool subtitle = files.back() == srt;
    SCOPED_TRACE(files.front());
    EXPECT_TRUE(fresh.view.dialogs.empty() && fresh.view.errors.empty());
    ASSERT_TRUE(s.palette.has_value());
    EXPECT_EQ(s.palette->generic, files.front() == srt);
    EXPECT_EQ(s.ListBoxPreview.size(), subtitle ? 10u : 0u);
    EXPECT_EQ(s.SubtitleLoaded, subtitle);
    EXPECT_EQ(subtitle ? s.EditLoadSrt : s.EditLoadIfo, files.back());
    if (subtitle) {
      EXPECT_EQ(s.OpenDialogsub.fileName, srt);  // the dialog starts there next time
    }
  }
}

// Files dropped one after another: each keeps what the others loaded. An IFO dropped while the no-IFO box is ticked
// (a subtitle dropped first ticked it) puts its own palette in the generic one's place; a file of another kind is
// named with the kinds the window opens, and everything stays as it was.
TEST_F(LoadSubtitle, FilesOpenedFromOutsideOneAfterAnotherKeepWhatTheOthersLoaded) {
  const std::string srt = CopyData(dir, "ctl_ten_entries.srt");
  const std::string ifo = CopyData(dir, "ifo_greys_pal.ifo", "VTS_01_0.IFO");
  const std::string film = dir.Write("film.mpg", std::string(4096, '\0'));
  h.controller.OpenFile(srt);
  ASSERT_TRUE(h.State().i_dont_have_ifo && h.State().SubtitleLoaded);
  h.controller.OpenFile(ifo);
  const MainState& s = h.State();
  ASSERT_TRUE(s.palette.has_value());
  EXPECT_FALSE(s.palette->generic);
  EXPECT_TRUE(s.IfoLoaded);
  EXPECT_FALSE(s.i_dont_have_ifo || s.NoIfo || s.MonochromaticIfo);
  EXPECT_TRUE(s.ButtonLoadIfoEnabled);
  EXPECT_EQ(s.ListBoxPreview.size(), 10u);

  const MainState before = s;
  h.view.ClearRecords();
  h.controller.OpenFile(film);
  ASSERT_EQ(h.view.messages.size(), 1u);
  EXPECT_EQ(h.view.messages[0], std::string("'film.mpg'") + kOpenFileKindsMessage);
  EXPECT_EQ(s.palette, before.palette);
  EXPECT_EQ(s.ListBoxPreview, before.ListBoxPreview);
  EXPECT_EQ(s.EditLoadSrt, srt);
  EXPECT_EQ(s.OpenDialogsub.fileName, srt);
  EXPECT_TRUE(s.SubtitleLoaded && s.LinesFit && s.IfoLoaded);
  EXPECT_FALSE(s.i_dont_have_ifo);

  // Before anything was loaded too: the box stays clear.
  ControllerHarness fresh;
  fresh.controller.OpenFile(film);
  EXPECT_FALSE(fresh.State().i_dont_have_ifo || fresh.State().IfoLoaded);
  EXPECT_EQ(fresh.view.messages.size(), 1u);
}

// "ポイント|ポスト" in Shift-JIS: ポ is 83 7C, so read byte by byte the entry has a bar in every ポ. DEFAULT finds
// the code page from the text and lists the text as UTF-8.
TEST_F(LoadSubtitle, ChoosingATwoByteCharsetReadsTheLinesAgainByItsCharacters) {
  constexpr int kAnsi = 0, kShiftJis = 14, kDefault = 4;  // charset list indexes
  const std::string poinToPosuto = "\x83\x7C\x83\x43\x83\x93\x83\x67|\x83\x7C\x83\x58\x83\x67";
  const std::string utf8 = "\xE3\x83\x9D\xE3\x82\xA4\xE3\x83\xB3\xE3\x83\x88|\xE3\x83\x9D\xE3\x82\xB9\xE3\x83\x88";
  h.controller.SetNoIfo(true);
  h.view.ClearRecords();
  h.LoadSubtitle(dir.Write("jp.sub", "{1}{1}25\n{25}{50}" + poinToPosuto + "\n"));
  ASSERT_EQ(h.State().ListBoxPreview.size(), 2u);
  EXPECT_EQ(h.State().ListBoxPreview[1], utf8);
  ASSERT_FALSE(h.view.messages.empty());
  EXPECT_EQ(h.view.messages[0], "read as Shift-JIS (found from the text; choose another Charset to read it otherwise)");
  h.controller.ChangeList(ListId::FontCharset, kShiftJis);
  EXPECT_EQ(h.State().ListBoxPreview[1], poinToPosuto);
  h.controller.ChangeList(ListId::FontCharset, kAnsi);
  EXPECT_EQ(h.State().ListBoxPreview[1], "\x83|\x83\x43\x83\x93\x83\x67");
  h.controller.ChangeList(ListId::FontCharset, kDefault);
  EXPECT_EQ(h.State().ListBoxPreview[1], utf8);
}

}  // namespace
}  // namespace quillet
