// The main window: its controls, where they sit, and which controller command each of them runs.
#include "form_main.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>
#include <cmath>
#include <functional>

#include "clickable_label.h"
#include "form_about.h"
#include "form_colors_help.h"
#include "job/job_settings.h"
#include "pictures.h"
#include "preview_image.h"
#include "qt_window_geometry.h"
#include "settings/settings_location.h"
#include "window_style.h"

namespace quillet::ui {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QPushButton* BoldButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* button = Named(new QPushButton(caption, parent), name);
  QFont font = button->font();
  font.setBold(true);
  button->setFont(font);
  button->setGeometry(geometry);
  return button;
}

QGroupBox* Group(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* group = Named(new QGroupBox(caption, parent), name);
  group->setGeometry(geometry);
  return group;
}

QLineEdit* DisplayEdit(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* edit = Named(new QLineEdit(text, parent), name);
  edit->setReadOnly(true);
  edit->setEnabled(false);
  edit->setGeometry(geometry);
  return edit;
}

// Notes which row of a list was current when a mouse button went down on it, before the list acts on the press.
class PressWatcher : public QObject {
 public:
  PressWatcher(QWidget* viewport, std::function<int()> currentRow)
      : QObject(viewport), m_currentRow(std::move(currentRow)) {
    viewport->installEventFilter(this);
  }
  int row = -1;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) row = m_currentRow();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<int()> m_currentRow;
};

// A colour role's list: each item shows its palette entry's colour in the open list; the closed list shows the
// chosen item's text alone, so "Color 15" fits beside the arrow.
class ColourList : public QComboBox {
 public:
  explicit ColourList(QWidget* parent) : QComboBox(parent) {
    setIconSize({TFormMain::kColourIconPx, TFormMain::kColourIconPx});
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
  }
};

}  // namespace

TFormMain::TFormMain(FormMainOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_options(std::move(options)) {
  setObjectName(QStringLiteral("FormMain"));
  setWindowTitle(QString::fromLatin1(kMainCaption));
  setWindowIcon(WindowIcon());
  setFont(WindowFont());
  // The controls sit at their places on a surface of the window's size; on a screen too small for it the window
  // is smaller and scrolls (FitOnScreen, at its showing).
  m_content = Named(new QWidget, "Content");
  m_content->setFixedSize(kClientWidth, kClientHeight);
  ScrollingContent(*this, m_content);
  setFixedSize(kClientWidth, kClientHeight);
  setAcceptDrops(true);  // a subtitle or an IFO dropped on the window loads as its button would
  // A group's caption sits on its frame's top line, as on a classic group box, so the controls fit under it.
  setStyleSheet(QStringLiteral(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 2px; }"));
  BuildControls();

  ControllerOptions controllerOptions;
  controllerOptions.programFolder = m_options.programFolder;
  const QScreen* shownOn = screen();
  controllerOptions.dpi = shownOn ? static_cast<int>(std::lround(shownOn->logicalDotsPerInch())) : 96;
  controllerOptions.generationWorkers = m_options.generationWorkers;
  controllerOptions.showFramesDuringGeneration = true;
  m_controller = std::make_unique<MainController>(*this, controllerOptions);
  m_controller->FormCreate(m_options.args);

  m_geometry = std::make_unique<QtWindowGeometry>(*this);
  const std::string settingsPath = m_options.settingsPath.empty()
                                       ? ChooseSettingsFile(SettingsPlacesOfProcess(m_options.programFolder))
                                       : m_options.settingsPath;
  m_settings = std::make_unique<SettingsLifecycle>(settingsPath, *m_controller, *m_geometry, *this);

  ConnectControls();
  // Enter on a focused button presses it, as Space does (Qt does so on its own only inside dialogs).
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(true);
  StateChanged();

  m_formAbout = new TFormAbout(this);
  m_formColorsHelp = new TFormColorsHelp(this);
}

void TFormMain::BuildControls() {
  BuildInputGroup();

  ListBoxPreview = Named(new QListWidget(m_content), "ListBoxPreview");
  ListBoxPreview->setGeometry(112, 80, 200, 44);
  ListBoxPreview->setSelectionMode(QAbstractItemView::SingleSelection);
  ListBoxPreview->setUniformItemSizes(true);
  ListBoxPreview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  ProgressBar1 = Named(new QProgressBar(m_content), "ProgressBar1");
  ProgressBar1->setGeometry(8, 80, 100, 10);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setToolTip(QStringLiteral("ProgressBar"));

  ButtonGenerateSup = BoldButton(m_content, "ButtonGenerateSup", QStringLiteral("Generate Sup"), {8, 90, 100, 18});
  ButtonBatch = BoldButton(m_content, "ButtonBatch", QStringLiteral("Add To Batch"), {8, 108, 100, 18});

  preview = Named(new PreviewImage(m_content), "preview");
  preview->setGeometry(40, 126, 720, 576);

  BuildColorsGroup();
  BuildGeneralSettingsGroup();
  BuildRenderFontsGroup();

  LabelImageChangedPAL = Named(new QLabel(m_content), "LabelImageChangedPAL");
  LabelImageChangedPAL->setVisible(false);
  LabelImageChangedNTSC = Named(new QLabel(m_content), "LabelImageChangedNTSC");
  LabelImageChangedNTSC->setVisible(false);
}

void TFormMain::BuildInputGroup() {
  GroupBoxInput = Group(m_content, "GroupBoxInput", QStringLiteral("Input"), {8, 0, 305, 78});
  QWidget* g = GroupBoxInput;

  EditLoadIfo = DisplayEdit(g, "EditLoadIfo", QStringLiteral("Load IFO"), {6, 13, 86, 17});
  ButtonLoadIfo = BoldButton(g, "ButtonLoadIfo", QStringLiteral("Load IFO"), {94, 13, 60, 17});
  EditLoadSrt = DisplayEdit(g, "EditLoadSrt", QStringLiteral("Load SRT"), {6, 31, 86, 17});
  ButtonLoadSub = BoldButton(g, "ButtonLoadSub", QStringLiteral("Load SRT"), {94, 31, 60, 17});

  // The check box shows only its box; the label beside it starts with blanks to make room for it. Its two lines
  // start just under the group's top edge, so that the second ends above the radio buttons.
  // A click on the text ticks the box, as a click on a check box's own text does.
  auto* noIfoText =
      Named(new ClickableLabel(QStringLiteral("     I dont have any Ifo or my Ifo hasnt sup support"), g), "no_ifo");
  noIfoText->setGeometry(160, 7, 141, 14);
  no_ifo = noIfoText;
  no_ifo->setWordWrap(true);
  no_ifo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  no_ifo->setFixedHeight(2 * no_ifo->fontMetrics().lineSpacing());
  i_dont_have_ifo = Named(new QCheckBox(QStringLiteral("polycromatic"), g), "i_dont_have_ifo");
  i_dont_have_ifo->setGeometry(158, 7, 15, 13);
  i_dont_have_ifo->raise();
  connect(noIfoText, &ClickableLabel::clicked, i_dont_have_ifo, [box = i_dont_have_ifo] {
    if (box->isEnabled()) box->click();
  });

  Pal = Named(new QRadioButton(QStringLiteral("Pal"), g), "Pal");
  Pal->setGeometry(160, 34, 42, 14);
  Ntsc = Named(new QRadioButton(QStringLiteral("Ntsc"), g), "Ntsc");
  Ntsc->setGeometry(204, 34, 48, 14);
  CheckBoxWideScreen = Named(new QCheckBox(QStringLiteral("16:9"), g), "CheckBoxWideScreen");
  CheckBoxWideScreen->setToolTip(
      QStringLiteral("16:9 video: the player stretches the picture by 4/3, so the letters are drawn 3/4 as wide "
                     "(a loaded IFO decides, as it does Pal or Ntsc)"));
  CheckBoxWideScreen->setGeometry(254, 34, 48, 14);

  LabelIfoColors = MakeLabel(g, "LabelIfoColors", QStringLiteral("Ifo Colors:"), 6, 55, 52);
}

void TFormMain::BuildColorsGroup() {
  GroupBoxColors = Group(m_content, "GroupBoxColors", QStringLiteral("Colors"), {316, 0, 296, 52});
  QWidget* g = GroupBoxColors;
  const struct {
    const char* label;
    const char* name;
    QComboBox** list;
  } roles[] = {{"Antialias", "ComboBoxAntialias", &ComboBoxAntialias},
               {"Outine", "ComboBoxOutline", &ComboBoxOutline},
               {"Text", "ComboBoxText", &ComboBoxText},
               {"Background", "ComboBoxBg", &ComboBoxBg}};
  // Each list wide enough for "Color 15" beside its arrow; the help button sits beside the group's caption.
  int x = 6;
  for (const auto& role : roles) {
    MakeLabel(g, (std::string("Label") + (role.name + 8)).c_str(), QString::fromLatin1(role.label), x, 13);
    auto* list = Named(new ColourList(g), role.name);
    list->setGeometry(x, 27, 70, 19);
    *role.list = list;
    x += 72;
  }
  ButtonColorsHelp = Named(new QPushButton(QStringLiteral("?"), g), "ButtonColorsHelp");
  const int captionEnd = 6 + 2 * 2 + g->fontMetrics().horizontalAdvance(GroupBoxColors->title());
  ButtonColorsHelp->setGeometry(captionEnd + 4, 0, 18, 13);
}

void TFormMain::BuildGeneralSettingsGroup() {
  GroupBoxGeneralSettings =
      Group(m_content, "GroupBoxGeneralSettings", QStringLiteral("General Settings"), {616, 0, 180, 52});
  QWidget* g = GroupBoxGeneralSettings;
  BitBtnSetDefaultValues = Named(new QPushButton(g), "BitBtnSetDefaultValues");
  BitBtnSetDefaultValues->setIcon(QIcon(SetDefaultValuesGlyph()));
  // The buttons on the left, the two boxes that choose what a load and a run do on the right, one above the
  // other.
  BitBtnSetDefaultValues->setIconSize({16, 16});
  BitBtnSetDefaultValues->setToolTip(QStringLiteral("Set the default values"));
  BitBtnSetDefaultValues->setGeometry(8, 13, 30, 19);
  BitBtnChangeImage = Named(new QPushButton(g), "BitBtnChangeImage");
  BitBtnChangeImage->setIcon(QIcon(ChangeImageGlyph()));
  BitBtnChangeImage->setIconSize({16, 16});
  BitBtnChangeImage->setToolTip(QStringLiteral("Choose your own PAL and NTSC preview pictures"));
  BitBtnChangeImage->setGeometry(40, 13, 30, 19);
  ButtonAbout = Named(new QPushButton(QStringLiteral("About"), g), "ButtonAbout");
  ButtonAbout->setGeometry(8, 33, 62, 16);
  CheckBoxVobSub = Named(new QCheckBox(QStringLiteral("VobSub too"), g), "CheckBoxVobSub");
  CheckBoxVobSub->setToolTip(
      QStringLiteral("Also write the subtitles as an .idx/.sub pair (VobSub) for players, mkvmerge and ffmpeg"));
  CheckBoxVobSub->setGeometry(74, 14, 104, 16);
  CheckBoxBreakLines = Named(new QCheckBox(QStringLiteral("Break long lines"), g), "CheckBoxBreakLines");
  CheckBoxBreakLines->setToolTip(
      QStringLiteral("An entry too wide for the frame is broken into lines that fit, at the blanks that balance them "
                     "(takes effect at the next load)"));
  CheckBoxBreakLines->setGeometry(74, 32, 104, 16);
}

void TFormMain::BuildRenderFontsGroup() {
  GroupBoxRenderFonts = Group(m_content, "GroupBoxRenderFonts", QStringLiteral("Render Fonts"), {316, 56, 480, 68});
  QWidget* g = GroupBoxRenderFonts;
  const struct {
    const char* label;
    const char* name;
    QComboBox** list;
    int x;
    int width;
  } lists[] = {{"Font Name", "ComboBoxFontName", &ComboBoxFontName, 6, 116},
               {"Font Charset", "ComboBoxFontCharset", &ComboBoxFontCharset, 126, 86},
               {"Font Style", "ComboBoxFontStyle", &ComboBoxFontStyle, 216, 80},
               {"Font Size", "ComboBoxFontSize", &ComboBoxFontSize, 300, 48},
               {"Align", "ComboBoxAlign", &ComboBoxAlign, 352, 62},
               {"Outline", "ComboBoxOutlineWidth", &ComboBoxOutlineWidth, 418, 38}};
  for (const auto& list : lists) {
    MakeLabel(g, (std::string("Label") + (list.name + 8)).c_str(), QString::fromLatin1(list.label), list.x, 12);
    *list.list = MakeList(g, list.name, list.x, 26, list.width);
  }
  ComboBoxFontName->setMaxVisibleItems(20);

  MakeLabel(g, "LabelOffsets", QStringLiteral("Offsets"), 6, 48);
  // The file's styles box ends where the offset's value begins; the slider takes the room before it.
  CheckBoxFileStyles =
      Named(new QCheckBox(QStringLiteral("Styles and placement from the file"), g), "CheckBoxFileStyles");
  CheckBoxFileStyles->setToolTip(
      QStringLiteral("Italic, bold and underline, top or middle placement and a third line as the subtitle file "
                     "gives them (colours and positions of its own are not drawn); unticked, every line in the "
                     "chosen style at the chosen place"));
  const int boxWidth = CheckBoxFileStyles->sizeHint().width();
  CheckBoxFileStyles->setGeometry(380 - boxWidth, 47, boxWidth, 16);
  offset = Named(new QSlider(Qt::Horizontal, g), "offset");
  offset->setGeometry(48, 46, std::max(100, 376 - boxWidth - 48), 18);
  offset->setRange(kOffsetMin, kOffsetMax);
  offset->setSingleStep(1);
  offset->setPageStep(10);
  offset->setValue(kDefaultOffset);
  LabelOffset = MakeLabel(g, "LabelOffset", QString::number(kDefaultOffset), 382, 48, 30);
  LabelOffset->setEnabled(false);

  // The second line's adjustment: up is a larger value. Arrow keys move by two, so a press down is not undone
  // by the even-position rule.
  offset_or = Named(new QSlider(Qt::Vertical, g), "offset_or");
  offset_or->setGeometry(460, 8, 18, 57);
  offset_or->setRange(kOffsetOrMin, kOffsetOrMax);
  offset_or->setSingleStep(2);
  offset_or->setPageStep(2);
  offset_or->setValue(kDefaultOffsetOr);
  LabelOffset_Or = MakeLabel(g, "LabelOffset_Or", QString::number(kDefaultOffsetOr), 422, 48, 30);
  LabelOffset_Or->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  LabelOffset_Or->setEnabled(false);
}

QComboBox* TFormMain::MakeList(QWidget* parent, const char* name, int x, int y, int width) {
  auto* list = Named(new QComboBox(parent), name);
  list->setEditable(false);
  list->setGeometry(x, y, width, 19);
  return list;
}

QLabel* TFormMain::MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int width) {
  auto* label = Named(new QLabel(text, parent), name);
  label->adjustSize();
  label->setGeometry(x, y, width > 0 ? width : label->width(), 14);
  return label;
}

void TFormMain::ConnectControls() {
  MainController& c = *m_controller;
  connect(ButtonLoadIfo, &QPushButton::clicked, this, [&c] { c.ButtonLoadIfoClick(); });
  connect(i_dont_have_ifo, &QCheckBox::clicked, this, [&c](bool checked) { c.SetNoIfo(checked); });
  connect(CheckBoxVobSub, &QCheckBox::clicked, this, [&c](bool checked) { c.SetVobSubToo(checked); });
  connect(CheckBoxBreakLines, &QCheckBox::clicked, this, [&c](bool checked) { c.SetBreakLongLines(checked); });
  connect(CheckBoxFileStyles, &QCheckBox::clicked, this, [&c](bool checked) { c.SetFileStyles(checked); });
  connect(CheckBoxWideScreen, &QCheckBox::clicked, this, [&c](bool checked) { c.SetWideScreen(checked); });
  connect(Pal, &QRadioButton::clicked, this, [&c] { c.SelectPal(true); });
  connect(Ntsc, &QRadioButton::clicked, this, [&c] { c.SelectPal(false); });
  connect(ButtonLoadSub, &QPushButton::clicked, this, [&c] { c.ButtonLoadSubClick(); });
  // Picking another entry (mouse or keys) draws it once, through the change of row; a click on the entry already
  // picked draws it again, since a change of standard or picture, or a run, left the preview without its text.
  connect(ListBoxPreview, &QListWidget::currentRowChanged, this, [&c](int row) {
    if (row >= 0) c.ListBoxPreviewClick(row);
  });
  auto* rowAtPress =
      new PressWatcher(ListBoxPreview->viewport(), [list = ListBoxPreview] { return list->currentRow(); });
  connect(ListBoxPreview, &QListWidget::clicked, this, [&c, rowAtPress](const QModelIndex& index) {
    if (index.row() >= 0 && index.row() == rowAtPress->row) c.ListBoxPreviewClick(index.row());
  });
  connect(ButtonGenerateSup, &QPushButton::clicked, this, [&c] { c.ButtonGenerateSupClick(); });
  connect(ButtonBatch, &QPushButton::clicked, this, [&c] { c.ButtonBatchClick(); });
  connect(BitBtnSetDefaultValues, &QPushButton::clicked, this, [&c] { c.BitBtnSetDefaultValuesClick(); });
  connect(BitBtnChangeImage, &QPushButton::clicked, this, [&c] { c.BitBtnChangeImageClick(); });
  connect(ButtonAbout, &QPushButton::clicked, this, [this] { ShowModal(*m_formAbout); });
  connect(ButtonColorsHelp, &QPushButton::clicked, this, [this] { ShowModal(*m_formColorsHelp); });

  const std::pair<QComboBox*, ListId> lists[] = {
      {ComboBoxAntialias, ListId::Antialias}, {ComboBoxOutline, ListId::Outline},
      {ComboBoxText, ListId::Text},           {ComboBoxBg, ListId::Bg},
      {ComboBoxFontName, ListId::FontName},   {ComboBoxFontCharset, ListId::FontCharset},
      {ComboBoxFontStyle, ListId::FontStyle}, {ComboBoxFontSize, ListId::FontSize},
      {ComboBoxAlign, ListId::Align},         {ComboBoxOutlineWidth, ListId::OutlineWidth}};
  for (const auto& [list, id] : lists) {
    connect(list, &QComboBox::activated, this, [&c, id = id](int index) { c.ChangeList(id, index); });
  }
  connect(offset, &QSlider::valueChanged, this, [&c](int position) { c.MoveOffset(position); });
  connect(offset_or, &QSlider::valueChanged, this, [&c](int position) { c.MoveOffsetOr(position); });
}

}  // namespace quillet::ui
