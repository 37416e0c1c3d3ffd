#include "settings/form_storage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <optional>

#include "base/errors.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::DataFile;
using test::ReadFile;
using test::TempDir;
using P = StoredProperty;

// The main window as the store sees it, with the defaults of a freshly created window; records what is restored.
class FakeForm : public StoredForm {
 public:
  ScreenInfo screen{1024, 768, 96};
  WindowPlacement placement{0, 1, {-1, -1}, {-4, -4}, {100, 50, 919, 784}};
  std::map<P, std::string> captions{{P::LabelImageChangedPALCaption, ""}, {P::LabelImageChangedNTSCCaption, ""}};
  std::map<P, int> indexes{{P::ComboBoxAlignItemIndex, 0},       {P::ComboBoxFontStyleItemIndex, 0},
                           {P::ComboBoxFontCharsetItemIndex, 4}, {P::ComboBoxFontNameItemIndex, 0},
                           {P::ComboBoxFontSizeItemIndex, 14},   {P::ComboBoxOutlineWidthItemIndex, 1}};
  std::map<P, int> counts{{P::ComboBoxAlignItemIndex, 3},        {P::ComboBoxFontStyleItemIndex, 9},
                          {P::ComboBoxFontCharsetItemIndex, 19}, {P::ComboBoxFontNameItemIndex, 12},
                          {P::ComboBoxFontSizeItemIndex, 35},    {P::ComboBoxOutlineWidthItemIndex, 3}};
  std::map<P, int> positions{{P::OffsetPosition, 30}, {P::OffsetOrPosition, -4}};
  bool vobSubToo = false;
  bool breakLines = false;
  bool fileStyles = false;
  bool wideScreen = false;

  std::optional<WindowPlacement> placed;  // last placement handed to the system
  std::optional<WindowState> state;       // last window state set
  int restoredValues = 0;                 // stored properties assigned

  ScreenInfo Screen() const override { return screen; }
  WindowPlacement Placement() const override { return placement; }
  void SetPlacement(const WindowPlacement& p) override { placed = placement = p; }
  void SetWindowState(WindowState s) override { state = s; }
  std::string Caption(P p) const override { return captions.at(p); }
  void SetCaption(P p, const std::string& text) override { captions.at(p) = text, ++restoredValues; }
  int ItemIndex(P p) const override { return indexes.at(p); }
  int ItemCount(P p) const override { return counts.at(p); }
  void SetItemIndex(P p, int index) override { indexes.at(p) = index, ++restoredValues; }
  int Position(P p) const override { return positions.at(p); }
  void SetPosition(P p, int position) override { positions.at(p) = position, ++restoredValues; }
  bool Checked(P p) const override { return const_cast<FakeForm*>(this)->Box(p); }
  void SetChecked(P p, bool checked) override { Box(p) = checked, ++restoredValues; }
  bool& Box(P p) {
    if (p == P::CheckBoxFileStylesChecked) return fileStyles;
    if (p == P::CheckBoxWideScreenChecked) return wideScreen;
    return p == P::CheckBoxBreakLinesChecked ? breakLines : vobSubToo;
  }

  bool NothingRestored() const { return !placed && !state && restoredValues == 0; }
};

std::string Form1(const std::string& lines) { return "[Form1]\n" + lines; }

// What an interactive run of the program does with the store, start to end.
void InteractiveRun(FormStorage& store) {
  store.WindowShown();
  store.FirstActivation(false);
  store.WindowClosing();
  store.WindowDestroyed();
  store.ProgramEnd();
}

TEST(FormStorage, NoFileKeepsTheDefaultsAndCreatesTheFileAtTheEnd) {
  TempDir dir;
  FakeForm form;
  FormStorage store(dir.File(kSettingsFileName), form);
  store.WindowShown();
  store.FirstActivation(false);
  EXPECT_TRUE(form.NothingRestored());
  EXPECT_FALSE(std::filesystem::exists(dir.File(kSettingsFileName)));

  form.captions[P::LabelImageChangedPALCaption] = "/pictures/my pal.bmp";
  form.indexes[P::ComboBoxFontNameItemIndex] = -1;
  form.positions[P::OffsetOrPosition] = -14;
  form.vobSubToo = true;
  store.WindowClosing();
  store.WindowDestroyed();
  EXPECT_TRUE(store.ProgramEnd());
  EXPECT_EQ(ReadFile(dir.File(kSettingsFileName)),
            "[Form1]\n"
            "FormVersion=0\n"
            "ShowCmd=1\n"
            "Flags=0\n"
            "PixelsPerInch=96\n"
            "MinMaxPos(1024x768)=-1,-1,-4,-4\n"
            "MinMaxPos=-1,-1,-4,-4\n"
            "NormPos(1024x768)=100,50,919,784\n"
            "NormPos=100,50,919,784\n"
            "LabelImageChangedPAL_Caption=/pictures/my pal.bmp\n"
            "LabelImageChangedNTSC_Caption=\n"
            "ComboBoxAlign_ItemIndex=0\n"
            "ComboBoxFontStyle_ItemIndex=0\n"
            "ComboBoxFontCharset_ItemIndex=4\n"
            "ComboBoxFontName_ItemIndex=-1\n"
            "ComboBoxFontSize_ItemIndex=14\n"
            "ComboBoxOutlineWidth_ItemIndex=1\n"
            "offset_Position=30\n"
            "offset_or_Position=-14\n"
            "CheckBoxVobSub_Checked=TRUE\n"
            "CheckBoxBreakLines_Checked=FALSE\n"
            "CheckBoxFileStyles_Checked=FALSE\n"
            "CheckBoxWideScreen_Checked=FALSE\n"
            "\n");
}

TEST(FormStorage, CheckBoxesAreTickedOnlyByAStoredYes) {
  struct Case {
    const char* lines;
    bool vobSub;
    bool breakLines;
    bool fileStyles = false;
    bool wideScreen = false;
  };
  const Case cases[] = {
      {"offset_Position=40\n", false, false},  // a file from before the boxes: unticked
      {"CheckBoxVobSub_Checked=TRUE\n", true, false},
      {"checkboxvobsub_checked=yes\n", true, false},
      {"CheckBoxVobSub_Checked=y\n", true, false},
      {"CheckBoxVobSub_Checked=1\n", false, false},  // not a word
      {"CheckBoxVobSub_Checked=FALSE\n", false, false},
      {"CheckBoxVobSub_Checked=No\n", false, false},
      {"CheckBoxVobSub_Checked=FALSE\nCheckBoxBreakLines_Checked=TRUE\n", false, true},
      {"CheckBoxBreakLines_Checked=TRUE\nCheckBoxVobSub_Checked=TRUE\n", true, true},
      {"CheckBoxFileStyles_Checked=TRUE\n", false, false, true},
      {"CheckBoxFileStyles_Checked=FALSE\nCheckBoxBreakLines_Checked=TRUE\n", false, true, false},
      {"CheckBoxWideScreen_Checked=TRUE\n", false, false, false, true},
      {"CheckBoxWideScreen_Checked=1\n", false, false, false, false},
  };
  for (const Case& c : cases) {
    TempDir dir;
    FakeForm form;
    FormStorage store(dir.Write("s.ini", Form1(c.lines)), form);
    store.WindowShown();
    EXPECT_EQ(form.vobSubToo, c.vobSub) << c.lines;
    EXPECT_EQ(form.breakLines, c.breakLines) << c.lines;
    EXPECT_EQ(form.fileStyles, c.fileStyles) << c.lines;
    EXPECT_EQ(form.wideScreen, c.wideScreen) << c.lines;
  }
}

TEST(FormStorage, RestoresEverythingSavedAtTheCurrentResolution) {
  TempDir dir;
  std::string path = dir.Write("s.ini", ReadFile(DataFile("ini_saved_two_resolutions.ini")));
  FakeForm form;
  form.screen = {800, 600, 96};
  FormStorage store(path, form);
  store.WindowShown();
  ASSERT_TRUE(form.placed);
  EXPECT_EQ(form.placed->normalRect, (ScreenRect{10, 20, 829, 754}));  // stored corner, the window's own size
  EXPECT_EQ(form.placed->minPosition, (ScreenPoint{-1, -1}));
  EXPECT_EQ(form.placed->maxPosition, (ScreenPoint{-4, -4}));
  EXPECT_EQ(form.state, WindowState::Normal);
  EXPECT_EQ(form.captions[P::LabelImageChangedPALCaption], "/home/user/pal.bmp");
  EXPECT_EQ(form.indexes, (std::map<P, int>{{P::ComboBoxAlignItemIndex, 1},
                                            {P::ComboBoxFontStyleItemIndex, 2},
                                            {P::ComboBoxFontCharsetItemIndex, 0},
                                            {P::ComboBoxFontNameItemIndex, 3},
                                            {P::ComboBoxFontSizeItemIndex, 20},
                                            {P::ComboBoxOutlineWidthItemIndex, 2}}));
  EXPECT_EQ(form.positions, (std::map<P, int>{{P::OffsetPosition, 60}, {P::OffsetOrPosition, -8}}));
}

TEST(FormStorage, PositionKeyForAnotherResolutionFallsBackToThePlainKey) {
  const std::string file =
      Form1("NormPos(800x600)=10,20,30,40\nNormPos=300,200,0,0\nMinMaxPos(800x600)=1,2,3,4\nMinMaxPos=5,6,7,8\n");
  struct Case {
    ScreenInfo screen;
    ScreenRect expectedRect;
    ScreenPoint expectedMin;
  };
  for (const Case& c :
       {Case{{800, 600, 96}, {10, 20, 829, 754}, {1, 2}}, Case{{1920, 1080, 96}, {300, 200, 1119, 934}, {5, 6}}}) {
    TempDir dir;
    FakeForm form;
    form.screen = c.screen;
    FormStorage store(dir.Write("s.ini", file), form);
    store.WindowShown();
    ASSERT_TRUE(form.placed) << c.screen.widthPx;
    EXPECT_EQ(form.placed->normalRect, c.expectedRect) << c.screen.widthPx;
    EXPECT_EQ(form.placed->minPosition, c.expectedMin) << c.screen.widthPx;
  }
}

TEST(FormStorage, AnotherPixelsPerInchSkipsThePositionButRestoresTheRest) {
  TempDir dir;
  FakeForm form;
  form.screen.pixelsPerInch = 120;
  FormStorage store(dir.Write("s.ini", ReadFile(DataFile("ini_saved_two_resolutions.ini"))), form);
  store.WindowShown();
  EXPECT_FALSE(form.placed);
  EXPECT_EQ(form.state, WindowState::Normal);
  EXPECT_EQ(form.indexes[P::ComboBoxFontSizeItemIndex], 20);
  EXPECT_EQ(form.positions[P::OffsetPosition], 60);
}

TEST(FormStorage, NegativeFormVersionRestoresNothing) {
  TempDir dir;
  std::string file = ReadFile(DataFile("ini_saved_two_resolutions.ini"));
  file.replace(file.find("FormVersion=0"), 13, "FormVersion=-1");
  FakeForm form;
  FormStorage store(dir.Write("s.ini", file), form);
  store.WindowShown();
  store.FirstActivation(false);
  EXPECT_TRUE(form.NothingRestored());
}

TEST(FormStorage, MalformedPositionNumbersFallBack) {
  TempDir dir;
  FakeForm form;  // normal rectangle 100,50 - 919,784
  FormStorage store(dir.Write("s.ini", Form1("MinMaxPos=5,x\nNormPos=abc,7\n")), form);
  store.WindowShown();
  ASSERT_TRUE(form.placed);
  EXPECT_EQ(form.placed->minPosition, (ScreenPoint{5, 0}));
  EXPECT_EQ(form.placed->maxPosition, (ScreenPoint{0, 0}));
  EXPECT_EQ(form.placed->normalRect, (ScreenRect{100, 7, 919, 741}));
}

TEST(FormStorage, ShowCmdGivesTheWindowState) {
  const std::map<int, WindowState> cases{
      {1, WindowState::Normal},    {5, WindowState::Normal},    {9, WindowState::Normal},
      {2, WindowState::Minimized}, {6, WindowState::Minimized}, {7, WindowState::Minimized},
      {3, WindowState::Maximized}, {0, WindowState::Normal},    {4, WindowState::Normal}};
  for (auto [showCmd, expected] : cases) {
    TempDir dir;
    FakeForm form;
    FormStorage store(dir.Write("s.ini", Form1("ShowCmd=" + std::to_string(showCmd) + "\n")), form);
    store.WindowShown();
    EXPECT_EQ(form.state, expected) << showCmd;
  }
}

TEST(FormStorage, PlacementKeyThatIsNotAnIntegerStopsTheRestore) {
  struct Case {
    std::string badLine;
    bool placed;  // what was applied before the bad key
    bool stated;
  };
  const std::string rest = "NormPos=1,2,3,4\nShowCmd=3\nComboBoxAlign_ItemIndex=2\n";
  for (const Case& c : {Case{"FormVersion=x1", false, false}, Case{"Flags=x1", false, false},
                        Case{"PixelsPerInch=x1", false, false}, Case{"ShowCmd=x1", true, false}}) {
    TempDir dir;
    FakeForm form;
    FormStorage store(dir.Write("s.ini", Form1(c.badLine + "\n" + rest)), form);
    try {
      store.WindowShown();
      ADD_FAILURE() << c.badLine << " restored without error";
    } catch (const ConversionError& e) {
      EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
    }
    EXPECT_EQ(form.placed.has_value(), c.placed) << c.badLine;
    EXPECT_EQ(form.state.has_value(), c.stated) << c.badLine;
    EXPECT_EQ(form.indexes[P::ComboBoxAlignItemIndex], 0) << c.badLine;
  }
}

TEST(FormStorage, StoredValuesThatDoNotFitTheirListOrDoNotConvertAreSkipped) {
  TempDir dir;
  FakeForm form;
  FormStorage store(dir.Write("s.ini", Form1("ComboBoxAlign_ItemIndex=99\n"
                                             "ComboBoxFontStyle_ItemIndex=-7\n"
                                             "ComboBoxFontCharset_ItemIndex=-1\n"
                                             "ComboBoxFontName_ItemIndex=2.5\n"
                                             "ComboBoxFontSize_ItemIndex=abc\n"
                                             "ComboBoxOutlineWidth_ItemIndex=2\n"
                                             "offset_Position=\n"
                                             "offset_or_Position=-3\n")),
                    form);
  store.WindowShown();
  // Outside the list: skipped, each list keeps the entry it had.
  EXPECT_EQ(form.indexes[P::ComboBoxAlignItemIndex], 0);
  EXPECT_EQ(form.indexes[P::ComboBoxFontStyleItemIndex], 0);
  EXPECT_EQ(form.indexes[P::ComboBoxFontCharsetItemIndex], 4);
  EXPECT_EQ(form.indexes[P::ComboBoxFontNameItemIndex], 0);   // skipped, keeps its value
  EXPECT_EQ(form.indexes[P::ComboBoxFontSizeItemIndex], 14);  // skipped silently
  EXPECT_EQ(form.indexes[P::ComboBoxOutlineWidthItemIndex], 2);
  EXPECT_EQ(form.positions[P::OffsetPosition], 30);
  // The stored position reaches the track bar unchanged; the bar's own change action makes an odd one even.
  EXPECT_EQ(form.positions[P::OffsetOrPosition], -3);
}

TEST(FormStorage, RewriteDropsCommentsAndKeepsForeignSectionsAndKeys) {
  TempDir dir;
  std::string path = dir.Write("s.ini", ReadFile(DataFile("ini_foreign_sections.ini")));
  FakeForm form;
  FormStorage store(path, form);
  InteractiveRun(store);
  std::string text = ReadFile(path);
  EXPECT_EQ(text.find(';'), std::string::npos);
  EXPECT_EQ(text.find("stray"), std::string::npos);
  EXPECT_EQ(text.rfind("[Other Tool]\nColour=red\na line without equals sign\nPath=C:\\Temp\\x=y\n\n[form1]\n"
                       "FormVersion=0\nComboBoxAlign_ItemIndex=2\nUnknownKey=kept\nShowCmd=1\n",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("offset_or_Position=-4\nCheckBoxVobSub_Checked=FALSE\nCheckBoxBreakLines_Checked=FALSE\n"
                      "CheckBoxFileStyles_Checked=FALSE\nCheckBoxWideScreen_Checked=FALSE\n\n"
                      "[Last]\nz=1\n\n"),
            std::string::npos)
      << text;
}

TEST(FormStorage, UnattendedRunLeavesKeysAndValuesAsTheyWere) {
  TempDir dir;
  const std::string original = ReadFile(DataFile("ini_saved_two_resolutions.ini"));
  std::string path = dir.Write("s.ini", original);
  FakeForm form;
  FormStorage store(path, form);
  store.WindowShown();
  EXPECT_EQ(form.indexes[P::ComboBoxFontSizeItemIndex], 20);
  store.FirstActivation(true);
  EXPECT_FALSE(store.Active());
  form.indexes[P::ComboBoxFontSizeItemIndex] = 5;  // the command line's values
  form.placement.normalRect = {0, 0, 819, 734};
  store.WindowShown();
  store.WindowClosing();
  store.WindowDestroyed();
  EXPECT_EQ(form.indexes[P::ComboBoxFontSizeItemIndex], 5);
  EXPECT_TRUE(store.ProgramEnd());

  std::string expected;
  for (char c : original) {
    if (c != '\r') expected += c;
  }
  EXPECT_EQ(ReadFile(path), expected);
}

TEST(FormStorage, UnattendedRunWithoutAFileLeavesAnEmptyOne) {
  TempDir dir;
  FakeForm form;
  FormStorage store(dir.File(kSettingsFileName), form);
  store.WindowShown();
  store.FirstActivation(true);
  store.WindowClosing();
  store.WindowDestroyed();
  EXPECT_TRUE(store.ProgramEnd());
  EXPECT_EQ(ReadFile(dir.File(kSettingsFileName)), "");
}

TEST(FormStorage, ReadOnlyFileIsRestoredButNeverWritten) {
  TempDir dir;
  const std::string original = "; mine\n[Form1]\nComboBoxFontSize_ItemIndex=3\n";
  std::string path = dir.Write("s.ini", original);
  ::chmod(path.c_str(), 0444);
  FakeForm form;
  FormStorage store(path, form);
  store.WindowShown();
  EXPECT_EQ(form.indexes[P::ComboBoxFontSizeItemIndex], 3);
  form.indexes[P::ComboBoxFontSizeItemIndex] = 7;
  store.FirstActivation(false);
  store.WindowClosing();
  EXPECT_FALSE(store.ProgramEnd());
  EXPECT_EQ(ReadFile(path), original);
}

TEST(FormStorage, FileIsReadOnceAndWrittenOnce) {
  TempDir dir;
  std::string path = dir.Write("s.ini", Form1("offset_Position=40\n"));
  FakeForm form;
  FormStorage store(path, form);
  store.WindowShown();
  test::WriteFile(path, Form1("offset_Position=50\n"));  // changed behind the program's back
  form.positions[P::OffsetPosition] = 30;
  store.FirstActivation(false);
  EXPECT_EQ(form.positions[P::OffsetPosition], 40);  // restored again from memory
  form.positions[P::OffsetPosition] = 41;
  store.FirstActivation(false);  // only the first activation restores
  EXPECT_EQ(form.positions[P::OffsetPosition], 41);

  store.WindowClosing();
  EXPECT_TRUE(store.ProgramEnd());
  EXPECT_NE(ReadFile(path).find("offset_Position=41\n"), std::string::npos);
  std::filesystem::remove(path);
  EXPECT_FALSE(store.ProgramEnd());
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(FormStorage, DestroySavesOnlyWhenClosingDidNot) {
  TempDir dir;
  FakeForm form;
  FormStorage closed(dir.File("a.ini"), form);
  closed.WindowShown();
  closed.WindowClosing();
  form.positions[P::OffsetPosition] = 99;
  closed.WindowDestroyed();
  EXPECT_EQ(closed.Ini().Value(kSettingsSection, "offset_Position"), "30");

  FormStorage destroyed(dir.File("b.ini"), form);
  destroyed.WindowShown();
  destroyed.WindowDestroyed();
  EXPECT_EQ(destroyed.Ini().Value(kSettingsSection, "offset_Position"), "99");
}

TEST(FormStorage, MinimisedProgramIsSavedAsShowCmd2) {
  TempDir dir;
  FakeForm form;
  form.placement.showCmd = 2;  // the form reports the program's minimised state
  form.placement.flags = 2;
  FormStorage store(dir.File("s.ini"), form);
  store.Save();
  EXPECT_EQ(store.Ini().Value(kSettingsSection, "ShowCmd"), "2");
  EXPECT_EQ(store.Ini().Value(kSettingsSection, "Flags"), "2");
}

TEST(FormStorage, CaptionWithALineBreakKeepsTheStoredValue) {
  TempDir dir;
  FakeForm form;
  FormStorage store(dir.Write("s.ini", Form1("LabelImageChangedNTSC_Caption=/old.bmp\n")), form);
  form.captions[P::LabelImageChangedNTSCCaption] = "/new\n[Evil]\nx=1.bmp";
  store.Save();
  EXPECT_EQ(store.Ini().Value(kSettingsSection, "LabelImageChangedNTSC_Caption"), "/old.bmp");
  EXPECT_EQ(store.Ini().Text().find("[Evil]"), std::string::npos);
}

}  // namespace
}  // namespace quillet
