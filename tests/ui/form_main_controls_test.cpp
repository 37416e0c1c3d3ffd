// The main window's controls: names, places, initial states, and how they follow the person's changes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "preview_image.h"
#include "ui_test_support.h"

namespace quillet::test {
namespace {

using ui::TFormMain;

template <typename T>
T* Find(TFormMain& window, const char* name) {
  T* widget = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

TEST(FormMainControls, WindowIsFixedSizeWithItsCaption) {
  DrivenWindow w;
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Quillet By Veltrix"));
  EXPECT_EQ(w->size(), QSize(803, 705));
  EXPECT_EQ(w->minimumSize(), w->maximumSize());
  EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(w->windowIcon().isNull());
}

TEST(FormMainControls, GroupsAndFreeControlsSitWhereTheLayoutPutsThem) {
  DrivenWindow w;
  const struct {
    const char* name;
    QRect geometry;
  } placed[] = {
      {"GroupBoxInput", {8, 0, 305, 78}},
      {"GroupBoxColors", {316, 0, 296, 52}},
      {"GroupBoxGeneralSettings", {616, 0, 180, 52}},
      {"GroupBoxRenderFonts", {316, 56, 480, 68}},
      {"ListBoxPreview", {112, 80, 200, 44}},
      {"ProgressBar1", {8, 80, 100, 10}},
      {"ButtonGenerateSup", {8, 90, 100, 18}},
      {"ButtonBatch", {8, 108, 100, 18}},
      {"preview", {40, 126, 720, 576}},
  };
  for (const auto& p : placed) {
    QWidget* widget = Find<QWidget>(w.Window(), p.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), p.geometry) << p.name;
  }
  EXPECT_EQ(Find<QGroupBox>(w.Window(), "GroupBoxInput")->title(), QStringLiteral("Input"));
  EXPECT_EQ(Find<QGroupBox>(w.Window(), "GroupBoxColors")->title(), QStringLiteral("Colors"));
  EXPECT_EQ(Find<QGroupBox>(w.Window(), "GroupBoxGeneralSettings")->title(), QStringLiteral("General Settings"));
  EXPECT_EQ(Find<QGroupBox>(w.Window(), "GroupBoxRenderFonts")->title(), QStringLiteral("Render Fonts"));
  // The "VobSub too" and "Break long lines" boxes lie wholly inside "General Settings", clear of the group's
  // other controls and of each other, and show their whole caption.
  const std::vector<QWidget*> group = {w->BitBtnSetDefaultValues, w->BitBtnChangeImage, w->ButtonAbout,
                                       w->CheckBoxVobSub, w->CheckBoxBreakLines};
  for (QCheckBox* box : {w->CheckBoxVobSub, w->CheckBoxBreakLines}) {
    ASSERT_NE(Find<QWidget>(w.Window(), box->objectName().toStdString().c_str()), nullptr);
    EXPECT_EQ(box->parentWidget(), w->GroupBoxGeneralSettings);
    EXPECT_TRUE(QRect(0, 0, 180, 52).contains(box->geometry()));
    EXPECT_GE(box->width(), box->sizeHint().width()) << box->objectName().toStdString();
    for (QWidget* other : group) {
      if (other == box) continue;
      EXPECT_FALSE(box->geometry().intersects(other->geometry())) << other->objectName().toStdString();
    }
  }
  EXPECT_EQ(w->CheckBoxVobSub->text(), QStringLiteral("VobSub too"));
  EXPECT_EQ(w->CheckBoxBreakLines->text(), QStringLiteral("Break long lines"));
}

// "Styles and placement from the file" sits in "Render Fonts" on the offsets' row, its whole caption shown and clear
// of every other control of the group; it starts unticked and a click ticks it.
TEST(FormMainControls, FileStylesBoxSitsOnTheOffsetsRow) {
  DrivenWindow w;
  QCheckBox* box = w->CheckBoxFileStyles;
  ASSERT_NE(Find<QWidget>(w.Window(), "CheckBoxFileStyles"), nullptr);
  EXPECT_EQ(box->text(), QStringLiteral("Styles and placement from the file"));
  EXPECT_EQ(box->parentWidget(), w->GroupBoxRenderFonts);
  EXPECT_TRUE(QRect(0, 0, 480, 68).contains(box->geometry()));
  EXPECT_GE(box->width(), box->sizeHint().width());
  for (QWidget* other : w->GroupBoxRenderFonts->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (other == box || !other->isVisible()) continue;
    EXPECT_FALSE(box->geometry().intersects(other->geometry())) << other->objectName().toStdString();
  }
  EXPECT_FALSE(box->isChecked());
  DrivenWindow::Click(box);
  EXPECT_TRUE(box->isChecked());  // the window shows the controller's state: a click it did not take is undone
}

TEST(FormMainControls, InitialStateOfTheInputGroup) {
  DrivenWindow w;
  TFormMain& f = w.Window();
  EXPECT_EQ(f.EditLoadIfo->text(), QStringLiteral("Load IFO"));
  EXPECT_FALSE(f.EditLoadIfo->isEnabled());
  EXPECT_EQ(f.EditLoadSrt->text(), QStringLiteral("Load SRT"));
  EXPECT_FALSE(f.EditLoadSrt->isEnabled());
  EXPECT_EQ(f.ButtonLoadIfo->text(), QStringLiteral("Load IFO"));
  EXPECT_TRUE(f.ButtonLoadIfo->font().bold());
  EXPECT_EQ(f.ButtonLoadSub->text(), QStringLiteral("Load SRT"));
  EXPECT_TRUE(f.ButtonLoadSub->font().bold());
  EXPECT_FALSE(f.i_dont_have_ifo->isChecked());
  EXPECT_EQ(f.i_dont_have_ifo->width(), 15);
  EXPECT_EQ(f.no_ifo->text(), QStringLiteral("     I dont have any Ifo or my Ifo hasnt sup support"));
  EXPECT_TRUE(f.Pal->isChecked());
  EXPECT_FALSE(f.Pal->isEnabled());
  EXPECT_FALSE(f.Ntsc->isEnabled());
  // The 16:9 box sits beside the radio buttons, enabled with them, clear of them and showing its whole caption.
  EXPECT_EQ(f.CheckBoxWideScreen->text(), QStringLiteral("16:9"));
  EXPECT_FALSE(f.CheckBoxWideScreen->isChecked());
  EXPECT_FALSE(f.CheckBoxWideScreen->isEnabled());
  EXPECT_TRUE(QRect(0, 0, 305, 78).contains(f.CheckBoxWideScreen->geometry()));
  EXPECT_GE(f.CheckBoxWideScreen->width(), f.CheckBoxWideScreen->sizeHint().width());
  for (const QWidget* other : std::initializer_list<const QWidget*>{f.Pal, f.Ntsc, f.ButtonLoadSub}) {
    EXPECT_FALSE(f.CheckBoxWideScreen->geometry().intersects(other->geometry())) << other->objectName().toStdString();
  }
  EXPECT_EQ(f.LabelIfoColors->text(), QStringLiteral("Ifo Colors:"));
  EXPECT_EQ(f.findChildren<QLabel*>(QStringLiteral("PaletteSwatch0")).size(), 0);
  EXPECT_EQ(f.ListBoxPreview->count(), 0);
  EXPECT_EQ(f.ProgressBar1->minimum(), 0);
  EXPECT_EQ(f.ProgressBar1->maximum(), 100);
  EXPECT_EQ(f.ProgressBar1->value(), 0);
  EXPECT_EQ(f.ProgressBar1->toolTip(), QStringLiteral("ProgressBar"));
  EXPECT_EQ(f.ButtonGenerateSup->text(), QStringLiteral("Generate Sup"));
  EXPECT_EQ(f.ButtonBatch->text(), QStringLiteral("Add To Batch"));
  EXPECT_FALSE(f.LabelImageChangedPAL->isVisibleTo(&f));
  EXPECT_FALSE(f.LabelImageChangedNTSC->isVisibleTo(&f));
  EXPECT_EQ(f.LabelImageChangedPAL->text(), QString());
}

TEST(FormMainControls, ListsHoldOnlyTheirItemsWithTheDefaultsSelected) {
  DrivenWindow w;
  TFormMain& f = w.Window();
  const struct {
    const char* name;
    int count;
    QString selected;
  } lists[] = {
      {"ComboBoxAntialias", 16, "Color 0"}, {"ComboBoxOutline", 16, "Color 0"},     {"ComboBoxText", 16, "Color 0"},
      {"ComboBoxBg", 16, "Color 0"},        {"ComboBoxFontCharset", 19, "DEFAULT"}, {"ComboBoxFontStyle", 9, "Normal"},
      {"ComboBoxFontSize", 35, "20"},       {"ComboBoxAlign", 3, "center"},         {"ComboBoxOutlineWidth", 3, "3"},
  };
  for (const auto& l : lists) {
    QComboBox* list = Find<QComboBox>(f, l.name);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isEditable()) << l.name;
    EXPECT_EQ(list->count(), l.count) << l.name;
    EXPECT_EQ(list->currentText(), l.selected) << l.name;
  }
  EXPECT_EQ(f.ComboBoxFontSize->itemText(34), QStringLiteral("50"));
  EXPECT_EQ(f.ComboBoxFontName->itemText(0), QStringLiteral("Arial"));
  EXPECT_EQ(f.ComboBoxFontName->currentIndex(), 0);
  EXPECT_GT(f.ComboBoxFontName->count(), 1);
  EXPECT_FALSE(f.ComboBoxFontName->isEditable());
}

TEST(FormMainControls, TrackBarsHaveTheirRangesAndOffsetOrGoesUpWithLargerValues) {
  DrivenWindow w;
  TFormMain& f = w.Window();
  EXPECT_EQ(f.offset->orientation(), Qt::Horizontal);
  EXPECT_EQ(f.offset->minimum(), 8);
  EXPECT_EQ(f.offset->maximum(), 492);
  EXPECT_EQ(f.offset->value(), 30);
  EXPECT_EQ(f.offset_or->orientation(), Qt::Vertical);
  EXPECT_FALSE(f.offset_or->invertedAppearance());  // Qt draws a vertical slider's maximum at the top
  EXPECT_EQ(f.offset_or->minimum(), -14);
  EXPECT_EQ(f.offset_or->maximum(), 10);
  EXPECT_EQ(f.offset_or->value(), -4);
  EXPECT_EQ(f.LabelOffset->text(), QStringLiteral("30"));
  EXPECT_EQ(f.LabelOffset_Or->text(), QStringLiteral("-4"));
  EXPECT_FALSE(f.LabelOffset->isEnabled());
  EXPECT_FALSE(f.LabelOffset_Or->isEnabled());
}

TEST(FormMainControls, OffsetOrSnapsOddPositionsUpAndItsKeysMoveInEvenSteps) {
  DrivenWindow w;
  TFormMain& f = w.Window();
  f.offset_or->setValue(-5);  // as a drag to -5 does
  EXPECT_EQ(f.offset_or->value(), -4);
  EXPECT_EQ(f.LabelOffset_Or->text(), QStringLiteral("-4"));
  f.offset_or->setValue(-3);
  EXPECT_EQ(f.offset_or->value(), -2);
  EXPECT_EQ(f.State().offset_or.position, -2);

  f.offset_or->setFocus();
  QTest::keyClick(f.offset_or, Qt::Key_Down);
  EXPECT_EQ(f.offset_or->value(), -4);
  QTest::keyClick(f.offset_or, Qt::Key_Up);
  QTest::keyClick(f.offset_or, Qt::Key_Up);
  EXPECT_EQ(f.offset_or->value(), 0);
  EXPECT_EQ(f.LabelOffset_Or->text(), QStringLiteral("0"));
}

TEST(FormMainControls, OffsetLabelFollowsTheSliderWithoutAPalette) {
  DrivenWindow w;
  w.ShowAndActivate();
  TFormMain& f = w.Window();
  f.offset->setFocus();
  QTest::keyClick(f.offset, Qt::Key_Right);
  EXPECT_EQ(f.State().offset.position, 31);
  EXPECT_EQ(f.LabelOffset->text(), QStringLiteral("31"));
  EXPECT_TRUE(w.messages.empty());
}

TEST(FormMainControls, NoIfoBoxShowsTheGenericPaletteAndFreesTheVideoStandard) {
  DrivenWindow w;
  w.ShowAndActivate();
  TFormMain& f = w.Window();
  DrivenWindow::Click(f.i_dont_have_ifo);
  EXPECT_TRUE(f.i_dont_have_ifo->isChecked());
  EXPECT_TRUE(f.State().NoIfo);
  EXPECT_TRUE(f.State().IfoLoaded);
  EXPECT_FALSE(f.ButtonLoadIfo->isEnabled());
  EXPECT_TRUE(f.Pal->isEnabled());
  EXPECT_TRUE(f.Ntsc->isEnabled());
  EXPECT_EQ(f.ComboBoxBg->currentText(), QStringLiteral("Color 0"));
  EXPECT_EQ(f.ComboBoxText->currentText(), QStringLiteral("Color 3"));
  EXPECT_EQ(f.ComboBoxOutline->currentText(), QStringLiteral("Color 0"));
  EXPECT_EQ(f.ComboBoxAntialias->currentText(), QStringLiteral("Color 1"));

  const char* tooltips[] = {"000", "858585", "170170170", "255255255"};
  for (int n = 0; n < 16; ++n) {
    QLabel* swatch = f.PaletteSwatches[n];
    QLabel* label = f.PaletteLabels[n];
    ASSERT_NE(swatch, nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(swatch->parentWidget(), f.GroupBoxInput);
    EXPECT_EQ(swatch->geometry(), QRect(15 * (n + 1) + 44, 62, 14, 14)) << n;
    EXPECT_EQ(label->pos(), QPoint(15 * (n + 1) + (n < 4 ? 46 : 45), 48)) << n;
    EXPECT_EQ(label->text(), QString::number(n));
    EXPECT_EQ(swatch->toolTip(), QString::fromLatin1(n < 4 ? tooltips[n] : "000000")) << n;
    EXPECT_EQ(label->toolTip(), swatch->toolTip());
    const int grey = n < 4 ? 85 * n : 0;
    EXPECT_EQ(swatch->grab().toImage().pixelColor(7, 7), QColor(grey, grey, grey)) << n;
  }
  // While the group is disabled (a run, a refusal) the swatches keep their colours.
  f.GroupBoxInput->setEnabled(false);
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(f.PaletteSwatches[n]->grab().toImage().pixelColor(7, 7), QColor(85 * n, 85 * n, 85 * n)) << n;
  }
  f.GroupBoxInput->setEnabled(true);

  DrivenWindow::Click(f.Ntsc);
  EXPECT_FALSE(f.State().Pal);
  EXPECT_EQ(f.preview->height(), 480);
  EXPECT_EQ(f.State().preview.Height(), 480);

  DrivenWindow::Click(f.i_dont_have_ifo);  // off: the palette goes, the standard stays but is locked
  EXPECT_FALSE(f.State().IfoLoaded);
  EXPECT_EQ(f.PaletteSwatches[0], nullptr);
  EXPECT_EQ(f.findChildren<QLabel*>(QStringLiteral("PaletteSwatch0")).size(), 0);
  EXPECT_TRUE(f.Ntsc->isChecked());
  EXPECT_FALSE(f.Ntsc->isEnabled());
  EXPECT_TRUE(f.ButtonLoadIfo->isEnabled());
}

TEST(FormMainControls, ProgramChangesToTheControlsRunNoChangeAction) {
  DrivenWindow w;
  w.ShowAndActivate();
  TFormMain& f = w.Window();
  DrivenWindow::Click(f.i_dont_have_ifo);
  const Image24 drawn = f.State().preview;
  // The no-IFO command selected four colours by program; mirroring them must not have redrawn anything or
  // moved any other value.
  EXPECT_EQ(f.ComboBoxAntialias->currentIndex(), 1);
  EXPECT_EQ(f.State().ComboBoxFontSize.itemIndex, 14);
  EXPECT_TRUE(w.messages.empty());
  // A person choosing the text colour redraws the preview.
  DrivenWindow::Choose(f.ComboBoxText, 2);
  EXPECT_EQ(f.State().ComboBoxText.itemIndex, 2);
  EXPECT_NE(f.State().preview, drawn);
}

TEST(FormMainControls, SetDefaultValuesPutsTheListsBackAndKeepsTheStandard) {
  DrivenWindow w;
  w.ShowAndActivate();
  TFormMain& f = w.Window();
  DrivenWindow::Click(f.i_dont_have_ifo);
  DrivenWindow::Click(f.Ntsc);
  DrivenWindow::Choose(f.ComboBoxFontStyle, 2);
  DrivenWindow::Choose(f.ComboBoxAlign, 1);
  f.offset->setValue(100);
  DrivenWindow::Click(f.BitBtnSetDefaultValues);
  EXPECT_EQ(f.ComboBoxFontStyle->currentText(), QStringLiteral("Normal"));
  EXPECT_EQ(f.ComboBoxAlign->currentText(), QStringLiteral("center"));
  EXPECT_EQ(f.ComboBoxText->currentText(), QStringLiteral("Color 0"));
  EXPECT_EQ(f.offset->value(), 30);
  EXPECT_EQ(f.LabelOffset->text(), QStringLiteral("30"));
  EXPECT_FALSE(f.i_dont_have_ifo->isChecked());
  EXPECT_FALSE(f.State().IfoLoaded);
  EXPECT_TRUE(f.Ntsc->isChecked());
}

TEST(FormMainControls, PreviewShowsThePictureWithItsBottomLeftColourTransparent) {
  Image24 picture(4, 3, Rgb{10, 20, 30});
  picture.SetPixel(1, 1, Rgb{200, 100, 50});
  picture.SetPixel(3, 0, Rgb{11, 20, 30});
  const QImage shown = ui::TransparentCornerImage(picture);
  ASSERT_EQ(shown.size(), QSize(4, 3));
  EXPECT_EQ(qAlpha(shown.pixel(0, 2)), 0);
  EXPECT_EQ(qAlpha(shown.pixel(2, 0)), 0);
  EXPECT_EQ(shown.pixel(1, 1), qRgb(200, 100, 50));
  EXPECT_EQ(shown.pixel(3, 0), qRgb(11, 20, 30));
  EXPECT_TRUE(ui::TransparentCornerImage(Image24()).isNull());

  DrivenWindow w;
  w.ShowAndActivate();
  const QImage& background = w->preview->Shown();
  ASSERT_EQ(background.size(), QSize(720, 576));
  EXPECT_EQ(qAlpha(background.pixel(0, 575)), 0);
}

TEST(FormMainControls, AboutAndColoursHelpOpenModally) {
  DrivenWindow w;
  std::vector<QString> shown;
  w->showModalHook = [&](QWidget& window) { shown.push_back(window.windowTitle()); };
  DrivenWindow::Click(w->ButtonAbout);
  DrivenWindow::Click(w->ButtonColorsHelp);
  EXPECT_EQ(shown, (std::vector<QString>{QStringLiteral("About"), QStringLiteral("Colors Help")}));
  EXPECT_EQ(w->ButtonColorsHelp->text(), QStringLiteral("?"));
  EXPECT_EQ(w->ButtonAbout->text(), QStringLiteral("About"));
  EXPECT_TRUE(w->BitBtnSetDefaultValues->text().isEmpty());
  EXPECT_FALSE(w->BitBtnSetDefaultValues->icon().isNull());
  EXPECT_TRUE(w->BitBtnChangeImage->text().isEmpty());
  EXPECT_FALSE(w->BitBtnChangeImage->icon().isNull());
}

TEST(FormMainControls, ChangeImageTakesBothPicturesFromTheirDialogs) {
  DrivenWindow w;
  w.ShowAndActivate();
  w.AnswerDialog(w.Dir().File("mine_pal.bmp"));
  w.AnswerDialog(std::nullopt);  // the NTSC dialog is cancelled
  DrivenWindow::Click(w->BitBtnChangeImage);
  ASSERT_EQ(w.dialogs.size(), 2u);
  EXPECT_EQ(w.dialogs[0].title, "Load 720x576 PAL image");
  EXPECT_EQ(w.dialogs[0].filter, "Load your PAL 720x576 BMP|*.bmp");
  EXPECT_EQ(w.dialogs[1].title, "Load 720x480 NTSC image");
  EXPECT_EQ(w->LabelImageChangedPAL->text(), QString::fromStdString(w.Dir().File("mine_pal.bmp")));
  EXPECT_EQ(w->LabelImageChangedNTSC->text(), QString());
  // The file does not exist: the built-in picture stays.
  EXPECT_EQ(w->State().preview.Width(), 720);
}

}  // namespace
}  // namespace quillet::test
