// The main window's state and commands: start, palette, settings controls, batch jobs and default values.
#include "app/main_controller.h"

#include <cstdlib>

#include "app/error_text.h"
#include "app/messages.h"
#include "app/render_settings_for.h"
#include "base/errors.h"
#include "job/command_line.h"
#include "job/job_line.h"
#include "job/job_settings.h"
#include "palette/grey_band_roles.h"
#include "palette/ifo_reader.h"
#include "render/preview_background.h"

namespace quillet {

namespace {

constexpr const char* kMonochromaticNotice =
    "ATTENTION :\rYour loaded ifo has not a polycromatic color palette.\rProbably this ifo does not contain any "
    "subtitle and you are tryng to add the first one. \rQuillet will create an generic polycromatic color palette "
    "in order to generate a correct colored sup file.\rAfter the generation of the sup file , Quillet will tell "
    "you what to do using Ifoedit.\rFor now just load your Srt and press Generate sup.";

template <std::size_t N>
std::vector<std::string> Items(const std::array<std::string_view, N>& list) {
  return std::vector<std::string>(list.begin(), list.end());
}

}  // namespace

MainController::MainController(MainView& view, ControllerOptions options)
    : m_view(view), m_options(std::move(options)), m_fonts(std::make_unique<FontEngine>(m_options.fontOptions)) {
  m_state.ComboBoxAntialias.items = Items(kColourList);
  m_state.ComboBoxOutline.items = Items(kColourList);
  m_state.ComboBoxText.items = Items(kColourList);
  m_state.ComboBoxBg.items = Items(kColourList);
  m_state.ComboBoxFontCharset.items = Items(kCharsetList);
  m_state.ComboBoxFontStyle.items = Items(kStyleList);
  m_state.ComboBoxFontSize.items = Items(kSizeList);
  m_state.ComboBoxAlign.items = Items(kAlignList);
  m_state.ComboBoxOutlineWidth.items = Items(kOutlineWidthList);
  // The generation run's engines share the font configuration this engine loaded.
  m_options.fontOptions = m_fonts->Options();
}

MainController::~MainController() = default;

void MainController::Guard(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    m_view.ShowError(ErrorBoxText(e));
  }
  Changed();
}

void MainController::Changed() { m_view.StateChanged(); }

// ---- program start and default values --------------------------------------------------------------

void MainController::FormCreate(const std::vector<std::string>& args) {
  m_args = args;
  Guard([&] { FormCreateSteps(false); });
}

void MainController::BitBtnSetDefaultValuesClick() {
  Guard([&] { FormCreateSteps(true); });
}

void MainController::FormCreateSteps(bool setDefaultValuesCommand) {
  m_state.FrameBitmap = RenderedFrame{};
  for (ListControl* colours :
       {&m_state.ComboBoxAntialias, &m_state.ComboBoxOutline, &m_state.ComboBoxText, &m_state.ComboBoxBg}) {
    colours->Select(kDefaultColour);
  }
  m_state.ComboBoxFontStyle.Select(kDefaultFontStyle);
  m_state.ComboBoxFontSize.Select(kDefaultFontSize);
  m_state.ComboBoxFontCharset.Select(kDefaultFontCharset);
  m_state.ComboBoxAlign.Select(kDefaultAlign);
  MoveTrackBar(m_state.offset, kDefaultOffset, &MainController::offsetChange);
  MoveTrackBar(m_state.offset_or, kDefaultOffsetOr, &MainController::offset_orChange);
  m_state.ComboBoxOutlineWidth.Select(kDefaultOutline);

  // The font list is filled once, when the window is made; the default-values command only selects "Arial".
  if (m_state.ComboBoxFontName.items.empty()) m_state.ComboBoxFontName.items = m_fonts->FontNameList();
  m_state.ComboBoxFontName.Select(kDefaultFontName);

  m_state.IfoLoaded = false;
  m_state.SubtitleLoaded = false;
  m_state.LinesFit = true;
  m_state.NoIfo = false;
  m_state.LabelOffset = std::to_string(m_state.offset.position);
  m_state.LabelOffset_Or = std::to_string(m_state.offset_or.position);

  if (setDefaultValuesCommand) {
    m_state.LabelImageChangedPAL.clear();
    m_state.LabelImageChangedNTSC.clear();
    LoadPreviewBackground();
    SetNoIfoChecked(false);
    m_state.output = OutputOptions{};
  }
  ReadCommandLine();
}

void MainController::ReadCommandLine() {
  const CommandLine commandLine = ParseCommandLine(m_args);
  m_state.Unattended = commandLine.unattended;
  if (commandLine.unattended) m_state.CommandLineArgs = commandLine.args;
}

void MainController::FormActivate() {
  Guard([&] {
    LoadPreviewBackground();
    if (m_state.Unattended) DoUnattendedRun();
  });
}

// ---- palette -----------------------------------------------------------------------------------------

void MainController::ButtonLoadIfoClick() {
  Guard([&] { DoLoadIfo(); });
}

void MainController::DoLoadIfo(bool askForFile) {
  if (!m_state.Unattended && askForFile) m_view.ExecuteOpenDialog(m_state.OpenDialogifo);
  const std::string fileName = m_state.OpenDialogifo.fileName;
  if (fileName.empty()) return;
  m_view.ProcessEvents();
  m_state.EditLoadIfo = fileName;
  Changed();

  // Everything is read and decided before anything changes, so a file that cannot be read changes nothing.
  const IfoContents contents = ReadIfoFile(fileName);
  const IfoPaletteChoice choice = ChooseIfoPalette(contents);

  // The box is unticked before the file's palette goes in, since unticking it removes the palette shown. (Only a
  // file given from outside, a drop, arrives while it is ticked: the button is disabled then.)
  if (choice.bandTest.accepted) SetNoIfoChecked(false);
  m_state.IfoPalette = contents.palette;
  m_state.palette = MakeIfoPaletteDisplay(contents.palette);
  SetPalSelected(choice.standard == VideoStandard::Pal);
  m_state.IfoLoaded = true;
  const RoleSelection picked =
      choice.bandTest.ApplyTo(RoleSelection{m_state.ComboBoxBg.itemIndex, m_state.ComboBoxText.itemIndex,
                                            m_state.ComboBoxOutline.itemIndex, m_state.ComboBoxAntialias.itemIndex});
  ApplyRoles(picked.background, picked.text, picked.outline, picked.antialias);

  if (choice.bandTest.accepted) {
    m_state.MonochromaticIfo = false;
    m_state.NoIfo = false;
    m_state.PalNtscEnabled = false;
  } else {
    m_state.palette.reset();
    m_state.ButtonLoadIfoEnabled = false;
    m_state.palette = MakeGenericPalette();
    ApplyRoles(kGenericRoles.background, kGenericRoles.text, kGenericRoles.outline, kGenericRoles.antialias);
    SamplePreview("Crete Hellas.");
    m_state.IfoLoaded = true;
    Changed();
    m_view.ShowMessage(kMonochromaticNotice);
    SetNoIfoChecked(true);
    m_state.MonochromaticIfo = true;
    m_state.NoIfo = false;
    m_state.PalNtscEnabled = false;
  }
  SamplePreview("Crete Hellas.");
  // The title's aspect decides, as its standard does; a subtitle's lines measured for the other one are checked
  // again, last, so that the verdict is theirs and not the sample's.
  if (m_state.CheckBoxWideScreen != (choice.aspect == DisplayAspect::Wide16x9)) {
    m_state.CheckBoxWideScreen = !m_state.CheckBoxWideScreen;
    ComboBoxFontSizeChange();
  }
}

void MainController::ApplyRoles(int background, int text, int outline, int antialias) {
  m_state.ComboBoxBg.Select(background);
  m_state.ComboBoxText.Select(text);
  m_state.ComboBoxOutline.Select(outline);
  m_state.ComboBoxAntialias.Select(antialias);
}

void MainController::SetNoIfo(bool checked) {
  Guard([&] { SetNoIfoChecked(checked); });
}

void MainController::SetNoIfoChecked(bool checked) {
  if (m_state.i_dont_have_ifo == checked) return;
  m_state.i_dont_have_ifo = checked;
  i_dont_have_ifoClick();
}

void MainController::i_dont_have_ifoClick() {
  if (m_state.i_dont_have_ifo) {
    m_state.NoIfo = true;
    m_state.ButtonLoadIfoEnabled = false;
    m_state.palette = MakeGenericPalette();
    ApplyRoles(kGenericRoles.background, kGenericRoles.text, kGenericRoles.outline, kGenericRoles.antialias);
    SamplePreview("Crete Hellas.");
    m_state.IfoLoaded = true;
    m_state.PalNtscEnabled = true;
  } else {
    m_state.NoIfo = false;
    m_state.ButtonLoadIfoEnabled = true;
    m_state.palette.reset();
    m_state.IfoLoaded = false;
    m_state.PalNtscEnabled = false;
  }
  Changed();
}

void MainController::SelectPal(bool pal) {
  Guard([&] { SetPalSelected(pal); });
}

void MainController::SetPalSelected(bool pal) {
  if (m_state.Pal == pal) return;
  m_state.Pal = pal;
  PalClick();
}

void MainController::PalClick() { LoadPreviewBackground(); }

// ---- settings controls -------------------------------------------------------------------------------

void MainController::ChangeList(ListId id, int index) {
  Guard([&] {
    m_state.List(id).Select(index);
    switch (id) {
      case ListId::Antialias:
      case ListId::Outline:
      case ListId::Text:
      case ListId::Bg:
        ComboBoxAntialiasChange();
        break;
      case ListId::FontName:
      case ListId::FontStyle:
      case ListId::FontSize:
      case ListId::OutlineWidth:
        ComboBoxFontSizeChange();
        break;
      case ListId::FontCharset:
        ComboBoxFontCharsetChange();
        break;
      case ListId::Align:
        offsetChange();
        break;
    }
  });
}

void MainController::SelectListItem(ListId id, int index) {
  m_state.List(id).Select(index);
  Changed();
}

void MainController::MoveOffset(int position) {
  Guard([&] { MoveTrackBar(m_state.offset, position, &MainController::offsetChange); });
}

void MainController::MoveOffsetOr(int position) {
  Guard([&] { MoveTrackBar(m_state.offset_or, position, &MainController::offset_orChange); });
}

void MainController::SetOffsetPosition(int position) { MoveOffset(position); }

void MainController::SetVobSubToo(bool checked) {
  if (m_state.CheckBoxVobSub() == checked) return;
  m_state.output.format = checked ? OutputFormat::Both : OutputFormat::Sup;
  Changed();
}

void MainController::SetBreakLongLines(bool checked) {
  if (m_state.CheckBoxBreakLines == checked) return;
  m_state.CheckBoxBreakLines = checked;
  Changed();
}

void MainController::SetWideScreen(bool checked) {
  Guard([&] {
    if (m_state.CheckBoxWideScreen == checked) return;
    m_state.CheckBoxWideScreen = checked;
    ComboBoxFontSizeChange();
  });
}

void MainController::SetFileStyles(bool checked) {
  if (m_state.CheckBoxFileStyles == checked) return;
  m_state.CheckBoxFileStyles = checked;
  Changed();
  Guard([&] { Refresh(); });
}

void MainController::SetOffsetOrPosition(int position) { MoveOffsetOr(position); }

void MainController::SetUserPicture(bool pal, const std::string& path) {
  (pal ? m_state.LabelImageChangedPAL : m_state.LabelImageChangedNTSC) = path;
  Changed();
}

// A track bar keeps its position inside its range; its change action runs only when the position changes.
void MainController::MoveTrackBar(TrackBarControl& bar, int position, void (MainController::*change)()) {
  position = std::clamp(position, bar.min, bar.max);
  if (position == bar.position) return;
  bar.position = position;
  (this->*change)();
}

void MainController::ComboBoxAntialiasChange() { Refresh(); }

void MainController::ComboBoxFontCharsetChange() {
  MatchDocumentToCharset();
  Refresh();
}

void MainController::offsetChange() {
  Refresh();
  m_state.LabelOffset = std::to_string(m_state.offset.position);
  Changed();
}

void MainController::offset_orChange() {
  // The second line moves in even steps: an odd position moves up by one, which runs this action again.
  if (m_state.offset_or.position % 2 != 0) {
    MoveTrackBar(m_state.offset_or, m_state.offset_or.position + 1, &MainController::offset_orChange);
  }
  Refresh();
  m_state.LabelOffset_Or = std::to_string(m_state.offset_or.position);
  Changed();
}

void MainController::ComboBoxFontSizeChange() {
  Refresh();
  if (m_state.IfoLoaded && m_state.SubtitleLoaded) {
    m_state.caption = std::string(kMainCaption) + " Checking Subtitle Length...";
    Changed();
    CheckAllLines();
    m_state.caption = kMainCaption;
    Changed();
  }
}

// ---- the user's preview pictures -------------------------------------------------------------------

void MainController::BitBtnChangeImageClick() {
  Guard([&] {
    m_view.ExecuteOpenDialog(m_state.OpenDialogImagePAL);
    if (!m_state.OpenDialogImagePAL.fileName.empty()) {
      m_state.LabelImageChangedPAL = m_state.OpenDialogImagePAL.fileName;
      LoadPreviewBackground();
    }
    m_view.ExecuteOpenDialog(m_state.OpenDialogImageNTSC);
    if (!m_state.OpenDialogImageNTSC.fileName.empty()) {
      m_state.LabelImageChangedNTSC = m_state.OpenDialogImageNTSC.fileName;
      LoadPreviewBackground();
    }
  });
}

// ---- batch jobs ---------------------------------------------------------------------------------------

void MainController::ButtonBatchClick() {
  Guard([&] { DoBatch(); });
}

void MainController::DoBatch() {
  if (!m_state.SubtitleLoaded) {
    m_view.ShowMessage("Load an srt");
    return;
  }
  if (!m_state.LinesFit) {
    m_view.ShowMessage("Please use smaller fonts.");
    return;
  }
  if (m_state.OpenDialogBat.fileName.empty()) {
    m_view.ExecuteOpenDialog(m_state.OpenDialogBat);
    if (m_state.OpenDialogBat.fileName.empty()) return;
  }
  const std::string batchPath = BatchPathFor(m_state.OpenDialogBat.fileName);

  const JobSettings job = CurrentJob();

  // A batch line must never run anything but this program: refuse names the shell would expand.
  for (const auto& [what, text] : {std::pair<std::string, std::string>{"program folder", m_options.programFolder},
                                   {"IFO file", job.filenameifo},
                                   {"subtitle file", job.filenamesub}}) {
    if (auto refusal = UnsafeForBatch(what, text)) {
      m_view.ShowMessage(*refusal);
      return;
    }
  }
  AppendToBatchFile(batchPath, BuildJobLine(m_options.programFolder, job));
  m_view.ShowMessage("Job added to Batch file: " + batchPath);
}

// ---- settings read from the controls ------------------------------------------------------------------

JobSettings MainController::CurrentJob() const {
  JobSettings job;
  job.haveifo = m_state.i_dont_have_ifo;
  job.filenameifo = m_state.OpenDialogifo.fileName;
  job.filenamesub = m_state.OpenDialogsub.fileName;
  job.pal = m_state.Pal;
  job.colorantialias = m_state.ComboBoxAntialias.itemIndex;
  job.coloroutline = m_state.ComboBoxOutline.itemIndex;
  job.colortext = m_state.ComboBoxText.itemIndex;
  job.colorbg = m_state.ComboBoxBg.itemIndex;
  job.fontname = m_state.ComboBoxFontName.itemIndex;
  job.fontcharset = m_state.ComboBoxFontCharset.itemIndex;
  job.fontstyle = m_state.ComboBoxFontStyle.itemIndex;
  job.fontsize = m_state.ComboBoxFontSize.itemIndex;
  job.align = m_state.ComboBoxAlign.itemIndex;
  job.offset = m_state.offset.position;
  job.offsetor = m_state.offset_or.position;
  job.outline = m_state.ComboBoxOutlineWidth.itemIndex;
  return job;
}

RenderSettings MainController::CurrentRenderSettings() const {
  std::array<Rgb, 16> colours{};
  if (m_state.palette) colours = m_state.palette->Colours();
  RenderSettings settings = RenderSettingsFor(CurrentJob(), m_state.ComboBoxFontName.items, colours, m_options.dpi);
  settings.font = CurrentFont();
  settings.stylesFromFile = m_state.CheckBoxFileStyles;
  return settings;
}

FontDesc MainController::CurrentFont() const {
  FontDesc font = FontFor(CurrentJob(), m_state.ComboBoxFontName.items, m_options.dpi);
  font.unicodeText = m_document && m_document->UnicodeText;
  font.aspect = m_state.CheckBoxWideScreen ? DisplayAspect::Wide16x9 : DisplayAspect::Standard4x3;
  return font;
}

}  // namespace quillet
