// The About window: what the program is, its version, how to use it, credits and links.
#include "form_about.h"

#include <QDesktopServices>
#include <QFontMetricsF>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

#include "clickable_label.h"
#include "pictures.h"
#include "window_style.h"

namespace quillet::ui {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// `label` already has its parent, so it measures itself with the window's font.
template <typename L>
L* Label(L* label, const char* name, const QString& text, int x, int y, bool bold) {
  Named(label, name);
  label->setText(text);
  if (bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  label->adjustSize();
  label->move(x, y);
  return label;
}

}  // namespace

QStringList UsageLines(int hyphens) {
  const QString separator(hyphens, QChar('-'));
  return {
      QStringLiteral("Usage : "),
      QStringLiteral("1) Just load you Original Dvd Ifo file  ex : VTS_01_0.IFO then the program automatically will "
                     "read the right color pallette"),
      QStringLiteral("and pick the better colors for your sup file. If you don't have an ifo file just check the "
                     "associated checkbox."),
      QStringLiteral("2) After that, just load your srt. At this time the program looks the width of every textual "
                     "subtitle in order to fit it on the dvd "),
      QStringLiteral("screen."),
      QStringLiteral("3) If the srt loads correctly then press Generate Sup, otherwise try to edit the srt or just "
                     "pick a smaller font."),
      separator,
      QStringLiteral("How to convert multiple sup files at once. "),
      QStringLiteral("From the 42.8 version and upper Quillet support the batch mode."),
      QStringLiteral("You can use it like this."),
      QStringLiteral("1) Just load you Original Dvd Ifo file by pressing 'Load Ifo'. Ex : VTS_01_0.IFO. The program "
                     "automatically will read the right "),
      QStringLiteral("color pallette and pick the better colors for your sup file. If you don't have an ifo file "
                     "just check the associated checkbox."),
      QStringLiteral("2) Load your first subtitle by pressing 'Load srt'. Now Quillet checks the subtitles, if "
                     "everything goes ok it will be loaded on "),
      QStringLiteral("Quillet correctly, if not, just try to select a smaller font size or try to edit your subtitle "
                     "with notepad in order to make the "),
      QStringLiteral("subtitles shorter."),
      QStringLiteral("3) Select fonts,colors etc ... and when you finish press 'Add to Batch' select an output file "
                     "like 'MyBatch'"),
      QStringLiteral("4) Now repeat the steps 1,2,3 for the second subtitle. Different subtitles can have different "
                     "options like size,color..."),
      QStringLiteral("5) After loading all the subtitles you wanted and adding them on MyBatch close Quillet."),
      QStringLiteral("6) Find the 'MyBatch.bat' file and run it by double-clicking it."),
      QStringLiteral("7) You are done ! "),
      separator,
      QStringLiteral("After generating the sup a help text will be generated in order to help you authoring your dvd "
                     "with the 'Generated.sup'"),
  };
}

TFormAbout::TFormAbout(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(QStringLiteral("About"));
  setFont(WindowFont());
  // On a screen too small for it the window is smaller and scrolls (FitOnScreen, at its showing).
  auto* content = Named(new QWidget, "Content");
  content->setFixedSize(kClientWidth, kClientHeight);
  ScrollingContent(*this, content);
  setFixedSize(kClientWidth, kClientHeight);
  setModal(true);
  BuildHeader(content);
  BuildCredits(content);

  connect(ButtonVistiSite, &QPushButton::clicked, this, [this] { ButtonVistiSiteClick(); });
  connect(LabelMadeByVeltrix, &ClickableLabel::clicked, this, [this] { ButtonVistiSiteClick(); });
  connect(LabelThx2, &ClickableLabel::clicked, this, [this] { LabelThx2Click(); });
  connect(ButtonCheckVersion, &QPushButton::clicked, this, [this] { ButtonCheckVersionClick(); });
  connect(ImageDonate, &ClickableLabel::clicked, this, [this] { ImageDonateClick(); });

  FormCreate();
}

// The logo, what the program is, its maker and version, and the usage text.
void TFormAbout::BuildHeader(QWidget* content) {
  ImageVeltrixLogo = Named(new QLabel(content), "ImageVeltrixLogo");
  ImageVeltrixLogo->setGeometry(8, 8, 81, 81);
  ImageVeltrixLogo->setPixmap(LogoPicture());

  LabelInfo = Named(new QLabel(content), "LabelInfo");
  LabelInfo->setGeometry(104, 24, 497, 57);
  LabelInfo->setWordWrap(true);
  LabelInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  LabelMadeByVeltrixInfo =
      Label(new QLabel(content), "LabelMadeByVeltrixInfo", QStringLiteral("Made by :"), 8, 94, false);
  LabelMadeByVeltrix =
      Label(new ClickableLabel(content), "LabelMadeByVeltrix", QStringLiteral("Veltrix"), 56, 94, true);
  QFont linkFont = LabelMadeByVeltrix->font();
  linkFont.setUnderline(true);
  LabelMadeByVeltrix->setFont(linkFont);
  LabelMadeByVeltrix->setStyleSheet(QStringLiteral("color: blue"));
  LabelMadeByVeltrix->adjustSize();
  // A few pixels after "Made by :", however wide the installed face draws it.
  LabelMadeByVeltrix->move(std::max(56, LabelMadeByVeltrixInfo->geometry().right() + 5), 94);
  LabelMadeByVeltrix->setCursor(Qt::PointingHandCursor);

  LabelVersionInfo =
      Label(new QLabel(content), "LabelVersionInfo", QStringLiteral("Current version :"), 224, 112, true);
  LabelVersion = Label(new QLabel(content), "LabelVersion", QStringLiteral("42.10"), 320, 112, true);

  MemoUsage = Named(new QPlainTextEdit(content), "MemoUsage");
  MemoUsage->setGeometry(8, 136, 601, 305);
  MemoUsage->setReadOnly(true);
  MemoUsage->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  MemoUsage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

// The credits, the web links and the donation picture.
void TFormAbout::BuildCredits(QWidget* content) {
  LabelSpecialThanksInfo =
      Label(new QLabel(content), "LabelSpecialThanksInfo", QStringLiteral("Special Thanks to :"), 8, 444, false);
  LabelThx1 = Label(new QLabel(content), "LabelThx1",
                    QStringLiteral("The Qt Project - the window toolkit these windows are made with"), 8, 459, true);
  LabelThx2 = Label(new ClickableLabel(content), "LabelThx2",
                    QStringLiteral("The FreeType and fontconfig projects - glyph drawing and font discovery: "
                                   "freetype.org"),
                    8, 474, true);
  LabelThx2->setCursor(Qt::PointingHandCursor);

  ButtonVistiSite =
      Named(new QPushButton(QStringLiteral("Visit the official site ") + kSiteName, content), "ButtonVistiSite");
  ButtonVistiSite->setGeometry(8, 496, 201, 25);
  ButtonVistiSite->setCursor(Qt::PointingHandCursor);
  ButtonCheckVersion = Named(new QPushButton(QStringLiteral("Check Version"), content), "ButtonCheckVersion");
  ButtonCheckVersion->setGeometry(408, 496, 201, 25);
  ButtonCheckVersion->setCursor(Qt::PointingHandCursor);

  ImageDonate = Named(new ClickableLabel(content), "ImageDonate");
  ImageDonate->setGeometry(544, 527, 65, 33);
  ImageDonate->setPixmap(DonatePicture());
  ImageDonate->setCursor(Qt::PointingHandCursor);
  ImageDonate->setToolTip(QString::fromLatin1(kDonatePageUrl));
}

void TFormAbout::FormCreate() {
  LabelInfo->setText(
      QStringLiteral("Quillet is an freeware utility that converts txt subtitles to sup files in order to put them "
                     "in a dvd.\nOfficial web site: ") +
      kSiteName +
      QStringLiteral("\nSuggestions are welcome in the forum (%1) or by e-mail to %2.")
          .arg(QString::fromLatin1(kForumUrl), QString::fromLatin1(kMailAddress)));

  // The usage lines were written one per memo row: the memo's font shrinks a little (not below 7 points) where
  // the installed face is wider, so that they stay whole; a separator row then reaches across the memo.
  const double textWidth = MemoUsage->width() - 2 * MemoUsage->document()->documentMargin() -
                           2 * MemoUsage->frameWidth() - MemoUsage->verticalScrollBar()->sizeHint().width() - 6;
  QFont memoFont = MemoUsage->font();
  const QStringList text = UsageLines(0);
  for (double points = memoFont.pointSizeF(); points >= 7.0; points -= 0.25) {
    memoFont.setPointSizeF(points);
    const QFontMetricsF metrics(memoFont);
    double widest = 0;
    for (const QString& line : text) widest = std::max(widest, metrics.horizontalAdvance(line));
    if (widest <= textWidth) break;
  }
  MemoUsage->setFont(memoFont);
  const QFontMetricsF metrics(memoFont);
  const int hyphens = std::max(10, static_cast<int>(textWidth / metrics.horizontalAdvance(QChar('-'))));
  MemoUsage->setPlainText(UsageLines(hyphens).join(QChar('\n')));
}

void TFormAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FitOnScreen(*this, {kClientWidth, kClientHeight});
  CentreOnScreen(*this);
}

void TFormAbout::Open(const char* url) {
  const QUrl address(QString::fromLatin1(url));
  // The desktop opens the page in the person's browser; whether it could is not looked at.
  if (openUrlHook) return openUrlHook(address);
  QDesktopServices::openUrl(address);
}

void TFormAbout::ButtonVistiSiteClick() { Open(kProgramPageUrl); }
void TFormAbout::LabelThx2Click() { Open(kThanksPageUrl); }
void TFormAbout::ButtonCheckVersionClick() { Open(kDownloadPageUrl); }
void TFormAbout::ImageDonateClick() { Open(kDonatePageUrl); }

}  // namespace quillet::ui
