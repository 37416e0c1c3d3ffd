// The main window as the controller's view: messages, dialogs, mirroring the state into the widgets, and the
// window's moments that drive the settings store.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QUrl>
#include <array>
#include <iostream>
#include <optional>
#include <utility>

#include "app/console_view.h"
#include "form_about.h"
#include "form_colors_help.h"
#include "form_main.h"
#include "preview_image.h"
#include "qt_text.h"
#include "qt_window_geometry.h"
#include "window_style.h"

namespace quillet::ui {

namespace {

constexpr const char* kApplicationTitle = "Quillet";

void MirrorList(QComboBox* box, const ListControl& list, bool refillItems) {
  const QSignalBlocker blocker(box);
  if (refillItems || box->count() != static_cast<int>(list.items.size())) {
    box->clear();
    QStringList items;
    items.reserve(static_cast<qsizetype>(list.items.size()));
    for (const std::string& item : list.items) items << FromText(item);
    box->addItems(items);
  }
  const int index = list.HasSelection() ? list.itemIndex : -1;
  if (box->currentIndex() != index) box->setCurrentIndex(index);
}

void MirrorTrackBar(QSlider* slider, const TrackBarControl& bar) {
  const QSignalBlocker blocker(slider);
  if (slider->minimum() != bar.min || slider->maximum() != bar.max) slider->setRange(bar.min, bar.max);
  if (slider->value() != bar.position) slider->setValue(bar.position);
}

void SetText(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
}

void SetText(QLineEdit* edit, const QString& text) {
  if (edit->text() != text) edit->setText(text);
}

// A solid square of the entry's colour in every state: a disabled group (during a run) greys what it draws
// itself, a pixmap or the palette's colours, but not a style sheet's background. The rule names the swatch, so
// its tooltip (a label of its own) keeps the tooltip colours; the dark edge keeps a white entry apart from the
// grey form.
QString SwatchStyle(const QString& name, Rgb colour) {
  return QStringLiteral("QLabel#%1 { background-color: %2; border: 1px solid #404040; }")
      .arg(name, QColor(colour.r, colour.g, colour.b).name());
}

// A text box that shows a path shows all of it as its tooltip, since a long one does not fit in the box.
void SetPathText(QLineEdit* edit, const QString& text) {
  SetText(edit, text);
  const QString tip = edit->fontMetrics().horizontalAdvance(text) + 8 > edit->width() ? text : QString();
  if (edit->toolTip() != tip) edit->setToolTip(tip);
}

}  // namespace

TFormMain::~TFormMain() {
  // The controls go after the controller: nothing they signal on their way out may reach it.
  for (QObject* child : findChildren<QObject*>()) child->blockSignals(true);
  // No message box while the window goes away: a failure is told on standard error.
  m_goingAway = true;
  m_settings->ProgramEnd();
}

void TFormMain::FinishProgram() { m_settings->ProgramEnd(); }

// ---- the window's moments ---------------------------------------------------------------------------

void TFormMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (m_shown) return;
  m_shown = true;
  // First shown centred on the desktop, as large as the screen lets it be; a stored placement then moves it.
  FitOnScreen(*this, {kClientWidth, kClientHeight});
  CentreOnScreen(*this);
  m_settings->WindowShown();
  // The first activation follows the showing, also where no window manager activates the window.
  QTimer::singleShot(0, this, [this] { FirstActivation(); });
}

bool TFormMain::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  if (event->type() == QEvent::WindowActivate && m_shown) FirstActivation();
  return handled;
}

void TFormMain::FirstActivation() {
  if (!m_activated) {
    m_activated = true;
    // As if reached with the Tab key, so the focus frame shows where Enter and Space will act. (Qt notes the key
    // only for a window already active; the window manager may activate it later.)
    ButtonLoadIfo->setFocus(Qt::TabFocusReason);
    setAttribute(Qt::WA_KeyboardFocusChange);
  }
  m_settings->FirstActivation();
  // Once the window manager has framed the window, it is fitted to the screen again with the real frame.
  if (!m_fittedInFrame && frameGeometry() != geometry()) {
    m_fittedInFrame = true;
    FitOnScreen(*this, {kClientWidth, kClientHeight});
  }
  // After the stored settings are back, so the file is laid out with the font they name.
  if (!m_options.openFile.empty()) m_controller->OpenFile(std::exchange(m_options.openFile, std::string()));
}

namespace {

// The local file a drag carries, when it carries exactly one.
std::optional<std::string> DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
  const QUrl url = data->urls().front();
  if (!url.isLocalFile()) return std::nullopt;
  return QFile::encodeName(url.toLocalFile()).toStdString();
}

}  // namespace

void TFormMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!m_controller->GenerationRunning() && DroppedFile(event->mimeData())) {
    event->acceptProposedAction();
  }
}

void TFormMain::dropEvent(QDropEvent* event) {
  const std::optional<std::string> file = DroppedFile(event->mimeData());
  if (!file || m_controller->GenerationRunning()) return;
  event->acceptProposedAction();
  // The dragging program hears that the drop was taken at once, not after the load and the message it may show.
  QMetaObject::invokeMethod(
      this, [this, path = *file] { m_controller->OpenFile(path); }, Qt::QueuedConnection);
}

void TFormMain::closeEvent(QCloseEvent* event) {
  // Closing during a run stops it after the entry it is on; nobody is left to read an "Abort" message.
  if (m_controller->GenerationRunning() && !m_endRequested) m_controller->StopGeneration();
  m_settings->WindowClosing();
  m_formAbout->close();
  m_formColorsHelp->close();
  event->accept();
}

void TFormMain::EndProgram() {
  m_endRequested = true;
  close();
  // Queued, so the end also holds when the run finished before the event loop started.
  QMetaObject::invokeMethod(
      qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

// ---- messages and dialogs ------------------------------------------------------------------------------

void TFormMain::ShowMessage(const std::string& text) {
  if (messageHook) return messageHook(text);
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), MessageText(text), QMessageBox::Ok,
                  this);
  GiveRoomForTitle(box);
  box.exec();
}

void TFormMain::ShowError(const std::string& text) {
  if (m_goingAway) {
    ConsoleView(std::cerr).ShowError(text);
    return;
  }
  if (errorHook) return errorHook(text);
  QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), MessageText(text), QMessageBox::Ok,
                  this);
  GiveRoomForTitle(box);
  box.exec();
}

void TFormMain::ShowNotice(const std::string& text) { ConsoleView(std::cerr).ShowMessage(text); }

void TFormMain::ExecuteOpenDialog(FileDialogState& dialog) {
  if (openDialogHook) return openDialogHook(dialog);
  const QString title = QString::fromStdString(dialog.title);  // empty: the dialog's own "Open" or "Save As"
  const QString chosen =
      dialog.newFileAllowed
          ? QFileDialog::getSaveFileName(this, title, FromPath(dialog.fileName), QtFileFilter(dialog.filter), nullptr,
                                         QFileDialog::DontConfirmOverwrite)
          : QFileDialog::getOpenFileName(this, title, FromPath(dialog.fileName), QtFileFilter(dialog.filter));
  if (!chosen.isEmpty()) dialog.fileName = ToPath(chosen);
}

void TFormMain::ShowModal(QWidget& window) {
  if (showModalHook) return showModalHook(window);
  if (auto* dialog = qobject_cast<QDialog*>(&window)) dialog->exec();
}

void TFormMain::ProcessEvents() { QCoreApplication::processEvents(); }

// ---- the state shown ------------------------------------------------------------------------------------

void TFormMain::StateChanged() {
  const MainState& s = State();
  const QString caption = QString::fromStdString(s.caption);
  if (windowTitle() != caption) setWindowTitle(caption);

  SetPathText(EditLoadIfo, FromPath(s.EditLoadIfo));
  ButtonLoadIfo->setEnabled(s.ButtonLoadIfoEnabled);
  {
    const QSignalBlocker blockBox(i_dont_have_ifo);
    const QSignalBlocker blockPal(Pal);
    const QSignalBlocker blockNtsc(Ntsc);
    const QSignalBlocker blockVobSub(CheckBoxVobSub);
    const QSignalBlocker blockBreakLines(CheckBoxBreakLines);
    const QSignalBlocker blockFileStyles(CheckBoxFileStyles);
    const QSignalBlocker blockWideScreen(CheckBoxWideScreen);
    i_dont_have_ifo->setChecked(s.i_dont_have_ifo);
    CheckBoxVobSub->setChecked(s.CheckBoxVobSub());
    CheckBoxBreakLines->setChecked(s.CheckBoxBreakLines);
    CheckBoxFileStyles->setChecked(s.CheckBoxFileStyles);
    CheckBoxWideScreen->setChecked(s.CheckBoxWideScreen);
    (s.Pal ? Pal : Ntsc)->setChecked(true);
  }
  Pal->setEnabled(s.PalNtscEnabled);
  Ntsc->setEnabled(s.PalNtscEnabled);
  CheckBoxWideScreen->setEnabled(s.PalNtscEnabled);
  SetPathText(EditLoadSrt, FromPath(s.EditLoadSrt));
  MirrorPalette(s);

  {
    const QSignalBlocker blocker(ListBoxPreview);
    if (m_shownSubtitleItems != s.ListBoxPreview) {
      ListBoxPreview->clear();
      QStringList items;
      items.reserve(static_cast<qsizetype>(s.ListBoxPreview.size()));
      for (const std::string& item : s.ListBoxPreview) items << FromText(item);
      ListBoxPreview->addItems(items);
      // An entry wider than the list shows cut off: its tooltip holds it whole.
      const QFontMetrics metrics = ListBoxPreview->fontMetrics();
      const int room = ListBoxPreview->viewport()->width() - 4;
      for (int row = 0; row < ListBoxPreview->count(); ++row) {
        QListWidgetItem* item = ListBoxPreview->item(row);
        if (metrics.horizontalAdvance(item->text()) > room) item->setToolTip(item->text());
      }
      m_shownSubtitleItems = s.ListBoxPreview;
    }
    if (ListBoxPreview->currentRow() != s.ListBoxPreviewIndex) ListBoxPreview->setCurrentRow(s.ListBoxPreviewIndex);
  }
  MirrorProgress(s);
  ButtonGenerateSup->setText(QString::fromStdString(s.ButtonGenerateSup));
  for (QWidget* busy : std::initializer_list<QWidget*>{GroupBoxInput, GroupBoxColors, GroupBoxGeneralSettings,
                                                       GroupBoxRenderFonts, ListBoxPreview, ButtonBatch}) {
    busy->setEnabled(s.controlsIdle);
  }

  MirrorLists(s);
  MirrorTrackBar(offset, s.offset);
  MirrorTrackBar(offset_or, s.offset_or);
  SetText(LabelOffset, QString::fromStdString(s.LabelOffset));
  SetText(LabelOffset_Or, QString::fromStdString(s.LabelOffset_Or));
  SetText(LabelImageChangedPAL, FromPath(s.LabelImageChangedPAL));
  SetText(LabelImageChangedNTSC, FromPath(s.LabelImageChangedNTSC));
}

void TFormMain::MirrorLists(const MainState& s) {
  MirrorList(ComboBoxAntialias, s.ComboBoxAntialias, false);
  MirrorList(ComboBoxOutline, s.ComboBoxOutline, false);
  MirrorList(ComboBoxText, s.ComboBoxText, false);
  MirrorList(ComboBoxBg, s.ComboBoxBg, false);
  // The font list is filled once, when the window is made.
  MirrorList(ComboBoxFontName, s.ComboBoxFontName, !m_fontNamesShown && !s.ComboBoxFontName.items.empty());
  m_fontNamesShown = m_fontNamesShown || !s.ComboBoxFontName.items.empty();
  MirrorList(ComboBoxFontCharset, s.ComboBoxFontCharset, false);
  MirrorList(ComboBoxFontStyle, s.ComboBoxFontStyle, false);
  MirrorList(ComboBoxFontSize, s.ComboBoxFontSize, false);
  MirrorList(ComboBoxAlign, s.ComboBoxAlign, false);
  MirrorList(ComboBoxOutlineWidth, s.ComboBoxOutlineWidth, false);
  MirrorColourIcons(s);
}

// The role lists' items show the colours of the palette in place; none without a palette.
void TFormMain::MirrorColourIcons(const MainState& s) {
  if (m_iconsShown && m_iconPalette == s.palette) return;
  m_iconPalette = s.palette;
  m_iconsShown = true;
  std::array<QIcon, kPaletteSize> icons;
  if (s.palette) {
    for (int n = 0; n < kPaletteSize; ++n) {
      const Rgb colour = s.palette->entries[static_cast<std::size_t>(n)].colour;
      QPixmap swatch(kColourIconPx, kColourIconPx);
      swatch.fill(QColor(0x40, 0x40, 0x40));  // the dark edge keeps a white entry apart from the list's white
      QPainter(&swatch).fillRect(1, 1, kColourIconPx - 2, kColourIconPx - 2, QColor(colour.r, colour.g, colour.b));
      icons[static_cast<std::size_t>(n)] = QIcon(swatch);
    }
  }
  for (QComboBox* list : {ComboBoxAntialias, ComboBoxOutline, ComboBoxText, ComboBoxBg}) {
    const QSignalBlocker blocker(list);
    for (int n = 0; n < list->count() && n < kPaletteSize; ++n)
      list->setItemIcon(n, icons[static_cast<std::size_t>(n)]);
  }
}

// Every palette command makes a new set of 16 swatches and labels in the "Input" group; none without a palette.
void TFormMain::MirrorPalette(const MainState& s) {
  if (m_shownPalette == s.palette) return;
  for (int n = 0; n < kPaletteSize; ++n) {
    delete PaletteSwatches[n];
    delete PaletteLabels[n];
    PaletteSwatches[n] = nullptr;
    PaletteLabels[n] = nullptr;
  }
  m_shownPalette = s.palette;
  if (!s.palette) return;
  for (int n = 0; n < kPaletteSize; ++n) {
    const PaletteEntryView& entry = s.palette->entries[static_cast<std::size_t>(n)];
    const QString tooltip = QString::fromStdString(entry.tooltip);
    auto* swatch = new QLabel(GroupBoxInput);
    swatch->setObjectName(QStringLiteral("PaletteSwatch%1").arg(n));
    swatch->setGeometry(entry.swatchLeft, entry.swatchTop, kSwatchSizePx, kSwatchSizePx);
    swatch->setStyleSheet(SwatchStyle(swatch->objectName(), entry.colour));
    swatch->setToolTip(tooltip);
    swatch->show();
    auto* label = new QLabel(QString::fromStdString(entry.caption), GroupBoxInput);
    label->setObjectName(QStringLiteral("PaletteLabel%1").arg(n));
    label->setGeometry(entry.labelLeft, entry.labelTop, kSwatchSizePx, kSwatchSizePx);
    label->setToolTip(tooltip);
    label->show();
    PaletteSwatches[n] = swatch;
    PaletteLabels[n] = label;
  }
}

void TFormMain::MirrorProgress(const MainState& s) {
  const ProgressBarControl& bar = s.ProgressBar1;
  // A bar whose ends meet (a run of one entry) would show Qt's busy animation; it shows as empty instead.
  const int max = bar.max > bar.min ? bar.max : bar.min + 1;
  if (ProgressBar1->minimum() != bar.min || ProgressBar1->maximum() != max) ProgressBar1->setRange(bar.min, max);
  ProgressBar1->setValue(std::clamp(bar.position, bar.min, max));
}

void TFormMain::ProgressChanged() { MirrorProgress(State()); }

void TFormMain::PictureChanged() {
  const MainState& s = State();
  // The control has the frame size of the chosen standard; the picture is stretched to it.
  const int height = s.Standard() == VideoStandard::Pal ? 576 : 480;
  if (preview->height() != height) preview->resize(720, height);
  preview->SetPicture(s.preview);
}

}  // namespace quillet::ui
