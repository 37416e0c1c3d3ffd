// The main window's generation run ("Generate Sup", and "Abort" while it runs) and the unattended run.
#include <algorithm>

#include "app/document_job.h"
#include "app/file_conversion.h"
#include "app/main_controller.h"
#include "app/messages.h"
#include "job/command_line.h"
#include "render/font_engine_pool.h"
#include "render/name_tables.h"
#include "render/subtitle_renderer.h"
#include "run/generation_run.h"
#include "run/output_files.h"

namespace quillet {

void MainController::ButtonGenerateSupClick() {
  Guard([&] { DoGenerate(); });
}

void MainController::SetIdleControls(bool idle) {
  m_state.controlsIdle = idle;
  m_state.ButtonGenerateSup = idle ? "Generate Sup" : "Abort";
  Changed();
}

void MainController::DoGenerate() {
  if (!StartGeneration()) return;
  // Whatever ends the run, an error in setting it up included, leaves the window ready for the next one.
  struct IdleOnExit {
    MainController& controller;
    ~IdleOnExit() {
      controller.m_state.GenerationStopped = true;
      controller.SetIdleControls(true);
    }
  } idleOnExit{*this};

  // The controls are disabled while the run is busy, so the settings read here hold for every entry.
  const RenderSettings render = CurrentRenderSettings();
  m_state.ProgressBar1.max = m_document->Count() - 1;
  m_state.ProgressBar1.position = 0;
  const OutputPaths paths = OutputPathsBesideExistingFiles(m_state.OpenDialogsub.fileName, m_state.output.format);
  const std::string report =
      ComposeFinalReport(SelectReportCase(m_state.NoIfo, m_state.MonochromaticIfo, m_state.i_dont_have_ifo), paths);
  FontEnginePerThread engines(m_options.fontOptions);
  const GenerationJob job = BuildGenerationJob(render, engines, paths, report);
  ReportGeneration(RunGenerationJob(job, render), report);
}

// Inverts the run flag and refuses a run the window is not ready for; true when the run goes ahead, with the
// controls disabled.
bool MainController::StartGeneration() {
  // Every press inverts the flag: a press while a run is active (it arrives inside the run's event
  // processing) asks that run to stop and does nothing else.
  m_state.GenerationStopped = !m_state.GenerationStopped;
  m_state.ProgressBar1.min = 0;
  m_state.ProgressBar1.position = 0;
  if (m_state.GenerationStopped) {
    if (m_showEntryBeingWritten) m_showEntryBeingWritten();
    Changed();
    m_view.ShowMessage("Operation Aborted");
    return false;
  }
  SetIdleControls(false);
  auto refuse = [&](const std::string& message) {
    m_view.ShowMessage(message);
    m_state.GenerationStopped = true;
    SetIdleControls(true);
    return false;
  };
  if (!m_state.SubtitleLoaded || !m_document) return refuse("Please load an Srt/Sub/Txt subtitle.");
  if (!m_state.LinesFit) return refuse("Please use smaller font.");
  // A charset chosen by program code runs no change action: the lines are split by the chosen one here.
  MatchDocumentToCharset();
  // The no-IFO box can be unticked after a subtitle was loaded: there are then no swatches to draw with.
  if (!m_state.palette) return refuse(kNoPaletteYetMessage);
  // A command line can leave a colour list without a selection (an index outside 0..15). Drawing that role
  // with another entry's colour would give a SUP file that looks complete and shows the wrong colours.
  for (const auto& [list, role] : {std::pair{&m_state.ComboBoxAntialias, "antialias"},
                                   {&m_state.ComboBoxOutline, "outline"},
                                   {&m_state.ComboBoxText, "text"},
                                   {&m_state.ComboBoxBg, "background"}}) {
    if (!list->HasSelection())
      return refuse(std::string("No ") + role + " colour is chosen. Please choose one from Color 0 to Color 15.");
  }
  return true;
}

// The run of the loaded subtitle with the given settings; the renders use `engines`, one font engine per thread.
GenerationJob MainController::BuildGenerationJob(const RenderSettings& render, FontEnginePerThread& engines,
                                                 const OutputPaths& paths, const std::string& report) {
  DocumentJobOutputs outputs{paths, {}, {}, m_state.output.language, report, m_options.generationWorkers};
  outputs.palette.antialias = PaletteIndexFromText(m_state.ComboBoxAntialias.Text());
  outputs.palette.outline = PaletteIndexFromText(m_state.ComboBoxOutline.Text());
  outputs.palette.text = PaletteIndexFromText(m_state.ComboBoxText.Text());
  outputs.palette.background = PaletteIndexFromText(m_state.ComboBoxBg.Text());
  if (m_state.palette) outputs.paletteColours = m_state.palette->Colours();
  return DocumentGenerationJob(*m_document, render, engines, outputs);
}

// Runs the job with the window's hooks: pending events once per entry, the progress bar, the stop flag, and
// (when asked for) the entry being written. The window repaints only where the throttle says: the frame when the
// entry's events are processed, the bar when that entry has advanced it.
GenerationOutcome MainController::RunGenerationJob(const GenerationJob& job, const RenderSettings& render) {
  RepaintThrottle throttle(m_options.repaintInterval, m_options.clock);
  bool repaintEntry = false;
  int entryAt = 0;  // the entry being written (entries go in time order, so not always the next one)
  int entryShown = 0;
  auto showFrame = [&](int i) {
    const SubtitleLine& line = m_document->Lines[static_cast<std::size_t>(i - 1)];
    RenderFrameInto(*m_fonts, EntryTextOf(line), render, m_state.FrameBitmap);
    m_state.preview = m_state.FrameBitmap.frame;
    entryShown = i;
    m_view.PictureChanged();
  };
  GenerationHooks hooks;
  hooks.processEvents = [&](int entryIndex) {
    entryAt = entryIndex;
    repaintEntry = throttle.Due();
    if (m_options.showFramesDuringGeneration && repaintEntry) showFrame(entryAt);
    m_view.ProcessEvents();
  };
  hooks.isStopped = [&] { return m_state.GenerationStopped; };
  hooks.advanceProgress = [&] {
    ProgressBarControl& bar = m_state.ProgressBar1;
    bar.position = std::min(bar.position + 1, bar.max);
    if (repaintEntry || bar.position >= bar.max) m_view.ProgressChanged();
  };
  auto showLatest = [&] {
    if (m_options.showFramesDuringGeneration && entryAt > 0 && entryShown != entryAt) showFrame(entryAt);
  };
  struct ShowLatestWhileRunning {
    std::function<void()>& slot;
    ~ShowLatestWhileRunning() { slot = nullptr; }
  } scope{m_showEntryBeingWritten};
  m_showEntryBeingWritten = showLatest;
  const GenerationOutcome outcome = RunGeneration(job, hooks);
  showLatest();
  return outcome;
}

// What the person sees when the run has ended: the error, the final report, or (unattended) the program's end.
void MainController::ReportGeneration(const GenerationOutcome& outcome, const std::string& report) {
  if (outcome.status == GenerationStatus::Failed) {
    // A failed run leaves the window ready for the next one, and no SUP file that looks complete.
    m_state.GenerationStopped = true;
    SetIdleControls(true);
    m_view.ShowError(outcome.message);
    return;
  }
  // Entries written otherwise than the subtitle says are told once, after the run: in the window after the
  // final report (or after a stopped run, whose file holds them too); in an unattended run on standard error,
  // since nobody may be there to answer a message.
  std::string notice = outcome.notice.Text();
  // Colours and positions of the file's own are not drawn; said once for the file.
  if (const std::string styles = m_state.CheckBoxFileStyles && m_document ? UnsupportedStylesNotice(*m_document) : "";
      !styles.empty()) {
    notice += (notice.empty() ? "" : "\r") + styles;
  }
  if (outcome.status == GenerationStatus::Completed && !m_state.GenerationStopped) {
    if (m_state.Unattended) {
      if (!notice.empty()) m_view.ShowNotice(notice);
      m_view.EndProgram();
    } else {
      Changed();
      m_view.ShowMessage(report);
      if (!notice.empty()) m_view.ShowMessage(notice);
    }
  } else if (!notice.empty()) {
    if (m_state.Unattended) {
      m_view.ShowNotice(notice);
    } else {
      Changed();
      m_view.ShowMessage(notice);
    }
  }
}

// ---- the unattended run -------------------------------------------------------------------------------

void MainController::DoUnattendedRun() {
  // A bad value is reported where the run reaches it: values 1 and 4 before the palette, the rest after it.
  const CommandLineJob command = JobFromCommandLine(m_state.CommandLineArgs);
  const JobSettings& job = command.job;
  command.ThrowIfBadUpTo(1);
  SetNoIfoChecked(job.haveifo);
  m_state.OpenDialogifo.fileName = job.filenameifo;
  m_state.OpenDialogsub.fileName = job.filenamesub;
  if (m_state.i_dont_have_ifo) {
    i_dont_have_ifoClick();
    command.ThrowIfBadUpTo(4);
    SetPalSelected(job.pal);
    PalClick();
  } else {
    DoLoadIfo();
  }
  command.ThrowIfBadUpTo(kParameterCount);
  SelectListItem(ListId::Antialias, job.colorantialias);
  SelectListItem(ListId::Outline, job.coloroutline);
  SelectListItem(ListId::Text, job.colortext);
  SelectListItem(ListId::Bg, job.colorbg);
  SelectListItem(ListId::FontName, job.fontname);
  SelectListItem(ListId::FontCharset, job.fontcharset);
  SelectListItem(ListId::FontStyle, job.fontstyle);
  SelectListItem(ListId::FontSize, job.fontsize);
  SelectListItem(ListId::Align, job.align);
  MoveTrackBar(m_state.offset, job.offset, &MainController::offsetChange);
  MoveTrackBar(m_state.offset_or, job.offsetor, &MainController::offset_orChange);
  SelectListItem(ListId::OutlineWidth, job.outline);
  DoLoadSub();
  DoGenerate();
}

}  // namespace quillet
