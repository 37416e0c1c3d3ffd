// The About and colour help windows: captions, sizes, texts, links and the colour-roles picture.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include "clickable_label.h"
#include "form_about.h"
#include "form_colors_help.h"
#include "pictures.h"
#include "ui_test_support.h"

namespace quillet::test {
namespace {

using ui::TFormAbout;
using ui::TFormColorsHelp;

TEST(FormAbout, CaptionSizeAndLabels) {
  EnsureApplication();
  TFormAbout about;
  EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
  EXPECT_EQ(about.size(), QSize(616, 566));
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  EXPECT_TRUE(about.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(about.LabelInfo->text().startsWith(
      QStringLiteral("Quillet is an freeware utility that converts txt subtitles to sup files in order to put them "
                     "in a dvd.\n")));
  EXPECT_EQ(about.LabelMadeByVeltrixInfo->text(), QStringLiteral("Made by :"));
  EXPECT_EQ(about.LabelMadeByVeltrix->text(), QStringLiteral("Veltrix"));
  EXPECT_TRUE(about.LabelMadeByVeltrix->font().bold());
  EXPECT_TRUE(about.LabelMadeByVeltrix->font().underline());
  EXPECT_EQ(about.LabelMadeByVeltrix->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(about.LabelVersionInfo->text(), QStringLiteral("Current version :"));
  EXPECT_EQ(about.LabelVersion->text(), QStringLiteral("42.10"));
  EXPECT_EQ(about.LabelSpecialThanksInfo->text(), QStringLiteral("Special Thanks to :"));
  EXPECT_TRUE(about.ButtonVistiSite->text().startsWith(QStringLiteral("Visit the official site ")));
  EXPECT_EQ(about.ButtonCheckVersion->text(), QStringLiteral("Check Version"));
  EXPECT_EQ(about.MemoUsage->geometry(), QRect(8, 136, 601, 305));
  EXPECT_TRUE(about.MemoUsage->isReadOnly());
  EXPECT_FALSE(about.ImageVeltrixLogo->pixmap().isNull());
  EXPECT_FALSE(about.ImageDonate->pixmap().isNull());
}

TEST(FormAbout, UsageTextHasItsTwentyTwoLinesWithHyphenSeparators) {
  EnsureApplication();
  TFormAbout about;
  const QStringList lines = about.MemoUsage->toPlainText().split(QChar('\n'));
  ASSERT_EQ(lines.size(), 22);
  EXPECT_EQ(lines[0], QStringLiteral("Usage : "));
  EXPECT_EQ(lines[4], QStringLiteral("screen."));
  EXPECT_EQ(lines[7], QStringLiteral("How to convert multiple sup files at once. "));
  EXPECT_EQ(lines[19], QStringLiteral("7) You are done ! "));
  EXPECT_EQ(lines[21], QStringLiteral("After generating the sup a help text will be generated in order to help you "
                                      "authoring your dvd with the 'Generated.sup'"));
  for (int separator : {6, 20}) {
    EXPECT_GE(lines[separator].size(), 10) << separator;
    EXPECT_EQ(lines[separator], QString(lines[separator].size(), QChar('-'))) << separator;
  }
  // A separator fits on one row of the memo.
  about.show();
  const QFontMetrics metrics(about.MemoUsage->font());
  EXPECT_LT(metrics.horizontalAdvance(lines[6]), about.MemoUsage->viewport()->width());
}

TEST(FormAbout, LinksOpenTheirPages) {
  EnsureApplication();
  TFormAbout about;
  std::vector<QString> opened;
  about.openUrlHook = [&](const QUrl& url) { opened.push_back(url.toString()); };
  about.show();
  QTest::mouseClick(about.ButtonVistiSite, Qt::LeftButton);
  QTest::mouseClick(about.LabelMadeByVeltrix, Qt::LeftButton);
  QTest::mouseClick(about.LabelThx2, Qt::LeftButton);
  QTest::mouseClick(about.ButtonCheckVersion, Qt::LeftButton);
  QTest::mouseClick(about.ImageDonate, Qt::LeftButton);
  QTest::mouseClick(about.LabelThx1, Qt::LeftButton);  // not a link
  EXPECT_EQ(opened, (std::vector<QString>{ui::kProgramPageUrl, ui::kProgramPageUrl, ui::kThanksPageUrl,
                                          ui::kDownloadPageUrl, ui::kDonatePageUrl}));
  about.close();
}

TEST(FormColorsHelp, CaptionLabelsAndThePictureLoadedWhenShown) {
  EnsureApplication();
  TFormColorsHelp help;
  EXPECT_EQ(help.windowTitle(), QStringLiteral("Colors Help"));
  EXPECT_EQ(help.size(), QSize(317, 174));
  EXPECT_EQ(help.LabelAttention->text(), QStringLiteral("ATTENTION"));
  EXPECT_EQ(help.LabelAttention->pos(), QPoint(115, 10));
  EXPECT_EQ(help.LabelInfo->text(),
            QStringLiteral("For Antialias ,Outline and Text color please dont pick a blue color."));
  EXPECT_EQ(help.LabelInfo->geometry(), QRect(51, 30, 204, 26));
  EXPECT_EQ(help.LabelColorsHeader->text(), QStringLiteral("Colors Example"));
  EXPECT_EQ(help.ImageColors->geometry(), QRect(112, 94, 73, 73));
  EXPECT_TRUE(help.ImageColors->pixmap().isNull());
  help.show();
  EXPECT_EQ(help.ImageColors->pixmap().size(), QSize(70, 70));
  help.close();
}

TEST(Pictures, ColorsPictureUsesExactlyItsFourColours) {
  EnsureApplication();
  const QImage picture = ui::ColorsPicture();
  ASSERT_EQ(picture.size(), QSize(70, 70));
  QSet<QRgb> colours;
  for (int y = 0; y < 70; ++y) {
    for (int x = 0; x < 70; ++x) colours.insert(picture.pixel(x, y) | 0xFF000000u);
  }
  EXPECT_EQ(colours, (QSet<QRgb>{ui::kColorsGround, ui::kColorsText, ui::kColorsAntialias, ui::kColorsOutline}));
  EXPECT_EQ(picture.pixel(0, 0), ui::kColorsGround);
  EXPECT_EQ(picture.pixel(20, 12), ui::kColorsText);  // inside the T
}

}  // namespace
}  // namespace quillet::test
