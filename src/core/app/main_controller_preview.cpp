// The main window's subtitle load, line length check and preview.
#include <filesystem>

#include "app/document_job.h"
#include "app/long_lines.h"
#include "app/main_controller.h"
#include "app/messages.h"
#include "app/render_settings_for.h"
#include "base/ascii_text.h"
#include "base/number_text.h"
#include "render/charset_decoder.h"
#include "render/line_length_check.h"
#include "render/preview_background.h"
#include "render/subtitle_renderer.h"
#include "subtitle/subtitle.h"

namespace quillet {

namespace {

// Puts the caption back however the command ends.
class CaptionScope {
 public:
  CaptionScope(MainState& state, MainView& view, const std::string& busyCaption) : m_state(state), m_view(view) {
    m_state.caption = busyCaption;
    m_view.StateChanged();
  }
  ~CaptionScope() {
    m_state.caption = kMainCaption;
    m_view.StateChanged();
  }
  CaptionScope(const CaptionScope&) = delete;
  CaptionScope& operator=(const CaptionScope&) = delete;

 private:
  MainState& m_state;
  MainView& m_view;
};

std::string ListItemFor(const SubtitleLine& line) {
  return line.Line2.empty() ? line.Line1 : line.Line1 + "|" + line.Line2;
}

}  // namespace

// ---- "Load SRT" -----------------------------------------------------------------------------------

void MainController::ButtonLoadSubClick() {
  Guard([&] { DoLoadSub(); });
}

void MainController::OpenFile(const std::string& path) {
  if (GenerationRunning() || path.empty()) return;
  Guard([&] {
    if (EndsWithIgnoringAsciiCase(path, ".ifo")) {
      m_state.OpenDialogifo.fileName = path;
      DoLoadIfo(false);
      return;
    }
    // Neither kind: nothing loaded so far is touched.
    if (!HasSubtitleExtension(path)) {
      m_view.ShowMessage(QuoteForMessage(std::filesystem::path(path).filename().string()) + kOpenFileKindsMessage);
      return;
    }
    if (!m_state.IfoLoaded) SetNoIfoChecked(true);
    m_state.OpenDialogsub.fileName = path;
    DoLoadSub(false);
  });
}

void MainController::DoLoadSub(bool askForFile) {
  m_state.SubtitleLoaded = false;
  m_state.LinesFit = false;
  m_state.EditLoadSrt = "Load SRT";
  Changed();
  if (!m_state.Unattended && askForFile) m_view.ExecuteOpenDialog(m_state.OpenDialogsub);
  const std::string fileName = m_state.OpenDialogsub.fileName;
  if (fileName.empty() || !m_state.IfoLoaded) {
    m_view.ShowMessage(kNoPaletteYetMessage);
    return;
  }
  m_view.ProcessEvents();
  CaptionScope caption(m_state, m_view, std::string(kMainCaption) + " Loading Subtitle...");
  m_state.ListBoxPreview.clear();
  m_state.ListBoxPreviewIndex = -1;

  m_document = std::make_unique<TSubtitle>();
  SubtitleReadOptions options;
  options.codePage = CurrentCodePageChoice();
  m_document->LoadFromFile(fileName, true, m_view, CurrentCharacters(), options);
  // Nobody may be there to answer a box in an unattended run.
  if (!m_document->ReadingNotice.empty()) {
    if (m_state.Unattended) {
      m_view.ShowNotice(m_document->ReadingNotice);
    } else {
      m_view.ShowMessage(m_document->ReadingNotice);
    }
  }
  if (m_document->Loaded) {
    m_state.ListBoxPreview.reserve(static_cast<std::size_t>(m_document->Count()));
    for (const SubtitleLine& line : m_document->Lines) m_state.ListBoxPreview.push_back(ListItemFor(line));
    if (!m_state.ListBoxPreview.empty()) m_state.ListBoxPreviewIndex = 0;
    Changed();
    CheckAllLines();
  }
}

TextCharacters MainController::CurrentCharacters() const {
  return CharactersOfCharset(CharsetFromText(m_state.ComboBoxFontCharset.Text()), m_options.fontOptions.defaultCodeset);
}

CodePageChoice MainController::CurrentCodePageChoice() const {
  return CodePageChoiceFor(CharsetFromText(m_state.ComboBoxFontCharset.Text()), m_options.fontOptions.defaultCodeset,
                           "choose another Charset to read it otherwise");
}

void MainController::MatchDocumentToCharset() {
  if (!m_document || !m_document->ReadAgain(CurrentCharacters(), CurrentCodePageChoice())) return;
  BreakLongLinesIfTicked();
  RelistEntries();
}

void MainController::RelistEntries() {
  // Entries keep their number and order; only their text changes. A list the line length check emptied stays
  // empty.
  if (m_state.ListBoxPreview.size() != m_document->Lines.size()) return;
  for (std::size_t i = 0; i < m_document->Lines.size(); ++i) {
    m_state.ListBoxPreview[i] = ListItemFor(m_document->Lines[i]);
  }
  Changed();
}

void MainController::BreakLongLinesIfTicked() {
  if (!m_document || !m_state.CheckBoxBreakLines) return;
  const RenderSettings render = CurrentRenderSettings();
  if (BreakLongLinesOfDocument(*m_document, *m_fonts, render.font, WrapLineLimit(render)) > 0) RelistEntries();
}

// ---- line length check ------------------------------------------------------------------------------

RenderSettings MainController::MeasuringSettings() const {
  RenderSettings settings;
  settings.font = CurrentFont();
  settings.stylesFromFile = m_state.CheckBoxFileStyles;
  settings.standard = m_state.Standard();
  return settings;
}

void MainController::CheckLineLengths(const SubtitleLine& line) {
  const LineCheckVerdict verdict =
      quillet::CheckLineLengths(*m_fonts, EntryTextOf(line), MeasuringSettings(), m_state.SubtitleLoaded);
  m_state.LinesFit = verdict.linesFit;
  if (verdict.clearSubtitleList) {
    m_state.ListBoxPreview.clear();
    m_state.ListBoxPreviewIndex = -1;
  }
  if (!verdict.message.empty()) {
    Changed();
    m_view.ShowMessage(verdict.message);
  }
}

void MainController::CheckAllLines() {
  if (!m_document) return;
  BreakLongLinesIfTicked();
  for (int n = 1; n <= m_document->Count(); ++n) {
    // The font is read afresh for every entry, as the window's lists could change in between.
    const SubtitleLine& line = m_document->Lines[static_cast<std::size_t>(n - 1)];
    CheckLineLengths(line);
    if (!m_state.LinesFit) break;
  }
  if (!m_state.LinesFit) return;
  if (!m_state.Unattended) m_view.ShowMessage(std::string(kAllLinesFitMessage));
  m_state.EditLoadSrt = m_state.OpenDialogsub.fileName;
  m_state.SubtitleLoaded = true;
  Changed();
}

// ---- preview ------------------------------------------------------------------------------------------

void MainController::LoadPreviewBackground() {
  if (!m_options.drawPreview) return;
  const std::string& userPath = m_state.Pal ? m_state.LabelImageChangedPAL : m_state.LabelImageChangedNTSC;
  if (!userPath.empty()) {
    PreviewPicture picture = LoadPreviewPicture(m_state.Standard(), userPath);
    m_state.preview = std::move(picture.image);
    // A picture that cannot be used is told once, not at every redraw; an unattended run never waits for it.
    if (picture.problem.empty()) {
      m_refusedPicture.clear();
    } else if (userPath != m_refusedPicture) {
      m_refusedPicture = userPath;
      if (m_state.Unattended) {
        m_view.ShowNotice(picture.problem);
      } else {
        m_view.ShowMessage(picture.problem);
      }
    }
  } else {
    // The built-in pictures are drawn by code: draw each once, every refresh reloads the background.
    Image24& builtIn = m_builtInBackgrounds[m_state.Pal ? 0 : 1];
    if (builtIn.Empty()) builtIn = BuiltInPreviewBackground(m_state.Standard());
    m_state.preview = builtIn;
  }
  m_view.PictureChanged();
}

void MainController::RenderPreview(const EntryText& entry) {
  LoadPreviewBackground();
  const RenderSettings measuring = MeasuringSettings();
  const FontDesc& font = measuring.font;
  const LineMeasures measures = MeasureEntry(*m_fonts, entry, measuring);
  if (!LinesFitWidth(measures)) {
    Changed();
    std::string lines2 = SubtitleTextForMessage(*m_fonts, entry.line2, font);
    if (measures.h3 > 0) lines2 += '\r' + SubtitleTextForMessage(*m_fonts, entry.line3, font);
    m_view.ShowMessage(TooLongMessage(SubtitleTextForMessage(*m_fonts, entry.line1, font), lines2, kTooLongInPreview));
    m_state.LinesFit = false;
    return;
  }
  m_state.LinesFit = true;
  if (!m_options.drawPreview) return;
  RenderSettings settings = CurrentRenderSettings();
  settings.font = font;
  DrawEntry(*m_fonts, m_state.preview, entry, settings);
  m_view.PictureChanged();
}

void MainController::SamplePreview(const std::string& line2) {
  RenderPreview(EntryText{"Rethymno.", line2, {}, nullptr});
}

void MainController::EntryPreview() {
  if (!m_document) return;
  const int entry = m_state.ListBoxPreviewIndex + 1;
  if (entry < 1 || entry > m_document->Count()) return;
  const SubtitleLine line = m_document->GetLine(entry);
  RenderPreview(EntryTextOf(line));
}

// The refresh of every settings change: the sample first, then the selected entry drawn over it.
void MainController::Refresh() {
  if (m_state.IfoLoaded) SamplePreview("Crete Hellas");
  if (m_state.IfoLoaded && m_state.SubtitleLoaded) EntryPreview();
}

void MainController::ListBoxPreviewClick(int index) {
  Guard([&] {
    if (index >= 0 && index < static_cast<int>(m_state.ListBoxPreview.size())) m_state.ListBoxPreviewIndex = index;
    if (m_state.IfoLoaded && m_state.SubtitleLoaded) EntryPreview();
  });
}

}  // namespace quillet
