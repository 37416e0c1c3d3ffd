// The main window's generation run ("Generate Sup", and "Abort" while it runs) and the unattended run.
#include <chrono>

#include "app/main_controller.h"
#include "app/messages.h"
#include "job/command_line.h"
#include "render/font_engine_pool.h"
#include "render/name_tables.h"
#include "render/subtitle_renderer.h"
#include "sup/generation_run.h"
#include "sup/output_files.h"

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
  // Every press inverts the flag: a press while a run is active (it arrives inside the run's event
  // processing) asks that run to stop and does nothing else.
  m_state.GenerationStopped = !m_state.GenerationStopped;
  m_state.ProgressBar1.min = 0;
  m_state.ProgressBar1.position = 0;
  if (m_state.GenerationStopped) {
    Changed();
    m_view.ShowMessage("Operation Aborted");
    return;
  }
  SetIdleControls(false);
  auto refuse = [&](const std::string& message) {
    m_view.ShowMessage(message);
    m_state.GenerationStopped = true;
    SetIdleControls(true);
  };
  if (!m_state.SubtitleLoaded || !m_document) return refuse("Please load an Srt/Sub/Txt subtitle.");
  if (!m_state.LinesFit) return refuse("Please use smaller font.");
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

  GenerationOutcome outcome;
  std::string report;
  try {
    // The controls are disabled while the run is busy, so the settings read here hold for every entry.
    const FontDesc font = CurrentFont();
    const int outlineWidth = OutlineWidth();
    const std::string align = m_state.ComboBoxAlign.Text();
    const int offset = m_state.offset.position;
    const int offsetOr = m_state.offset_or.position;
    const VideoStandard standard = m_state.Standard();
    const TSubtitle& document = *m_document;
    const int count = document.Count();

    m_state.ProgressBar1.max = count - 1;
    m_state.ProgressBar1.position = 0;

    const OutputPaths paths = OutputPathsFor(m_state.OpenDialogsub.fileName, m_state.output.format);
    report =
        ComposeFinalReport(SelectReportCase(m_state.NoIfo, m_state.MonochromaticIfo, m_state.i_dont_have_ifo), paths);

    GenerationJob job;
    job.entryCount = count;
    job.roles = CurrentRoleColours();
    job.palette.antialias = PaletteIndexFromText(m_state.ComboBoxAntialias.Text());
    job.palette.outline = PaletteIndexFromText(m_state.ComboBoxOutline.Text());
    job.palette.text = PaletteIndexFromText(m_state.ComboBoxText.Text());
    job.palette.background = PaletteIndexFromText(m_state.ComboBoxBg.Text());
    job.supPath = paths.supPath;
    job.idxPath = paths.idxPath;
    job.vobSubPath = paths.vobSubPath;
    job.vobSubIndex.height = FrameHeight(standard);
    job.vobSubIndex.language = m_state.output.language;
    if (m_state.palette) job.vobSubIndex.palette = m_state.palette->Colours();
    job.instructionPath = paths.instructionPath;
    job.instructionText = report;
    job.workerThreads = m_options.generationWorkers;

    FontEnginePerThread engines(m_options.fontOptions);
    const RoleRgb roles = job.roles;
    auto renderEntry = [&, roles](FontEngine& engine, int i, RenderedFrame& frame) {
      const SubtitleLine& line = document.Lines[static_cast<std::size_t>(i - 1)];
      RenderFrameInto(engine, line.Line1, line.Line2, font, offset, offsetOr, align, standard, outlineWidth, roles,
                      frame);
    };
    job.renderInto = [&](int i, RenderedFrame& frame) { renderEntry(engines.ForThisThread(), i, frame); };
    job.entry = [&](int i) {
      const SubtitleLine& line = document.Lines[static_cast<std::size_t>(i - 1)];
      return GenerationEntry{line.StartTime, line.EndTime, line.Line1};
    };

    // The window shows the entry being written, but repaints at most about 30 times a second.
    using Clock = std::chrono::steady_clock;
    Clock::time_point lastShown{};
    int entryAt = 0;
    int entryShown = 0;
    auto showFrame = [&](int i) {
      renderEntry(*m_fonts, i, m_state.FrameBitmap);
      m_state.preview = m_state.FrameBitmap.frame;
      entryShown = i;
      m_view.PictureChanged();
    };
    GenerationHooks hooks;
    hooks.processEvents = [&] {
      ++entryAt;
      if (m_options.showFramesDuringGeneration && Clock::now() - lastShown > std::chrono::milliseconds(33)) {
        showFrame(entryAt);
        lastShown = Clock::now();
      }
      m_view.ProcessEvents();
    };
    hooks.isStopped = [&] { return m_state.GenerationStopped; };
    hooks.advanceProgress = [&] {
      m_state.ProgressBar1.position = std::min(m_state.ProgressBar1.position + 1, m_state.ProgressBar1.max);
      m_view.ProgressChanged();
    };
    outcome = RunGeneration(job, hooks);
    if (m_options.showFramesDuringGeneration && entryAt > 0 && entryShown != entryAt) showFrame(entryAt);
  } catch (const std::exception& e) {
    outcome.status = GenerationStatus::Failed;
    outcome.message = e.what();
  }

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
  const std::string notice = outcome.notice.Text();
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
  m_state.GenerationStopped = true;
  SetIdleControls(true);
}

// ---- the unattended run -------------------------------------------------------------------------------

void MainController::DoUnattendedRun() {
  const auto& value = m_state.CommandLineArgs;  // value n is value[n - 1]
  SetNoIfoChecked(ConvertBooleanValue(value[0]));
  m_state.OpenDialogifo.fileName = value[1];
  m_state.OpenDialogsub.fileName = value[2];
  if (m_state.i_dont_have_ifo) {
    i_dont_have_ifoClick();
    SetPalSelected(ConvertBooleanValue(value[3]));
    PalClick();
  } else {
    DoLoadIfo();
  }
  SelectListItem(ListId::Antialias, ConvertIntegerValue(value[4]));
  SelectListItem(ListId::Outline, ConvertIntegerValue(value[5]));
  SelectListItem(ListId::Text, ConvertIntegerValue(value[6]));
  SelectListItem(ListId::Bg, ConvertIntegerValue(value[7]));
  SelectListItem(ListId::FontName, ConvertIntegerValue(value[8]));
  SelectListItem(ListId::FontCharset, ConvertIntegerValue(value[9]));
  SelectListItem(ListId::FontStyle, ConvertIntegerValue(value[10]));
  SelectListItem(ListId::FontSize, ConvertIntegerValue(value[11]));
  SelectListItem(ListId::Align, ConvertIntegerValue(value[12]));
  MoveTrackBar(m_state.offset, ConvertOffsetValue(value[13]), &MainController::offsetChange);
  MoveTrackBar(m_state.offset_or, ConvertOffsetOrValue(value[14]), &MainController::offset_orChange);
  SelectListItem(ListId::OutlineWidth, ConvertIntegerValue(value[15]));
  DoLoadSub();
  DoGenerate();
}

}  // namespace quillet
