// The main window's state and commands, without any toolkit: the Qt window, the console and the tests drive it.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_state.h"
#include "app/main_view.h"
#include "app/repaint_throttle.h"
#include "job/job_settings.h"
#include "render/font_engine.h"
#include "render/font_engine_pool.h"
#include "render/render_settings.h"
#include "render/subtitle_renderer.h"
#include "run/generation_run.h"
#include "run/output_files.h"
#include "subtitle/subtitle.h"

namespace quillet {

struct ControllerOptions {
  std::string programFolder = "./";  // the running program's folder, ending with "/"
  int dpi = 96;                      // the screen's logical pixels per inch (96 without a display)
  int generationWorkers = -1;        // threads that render ahead during generation; -1: by the usable processors
  FontOptions fontOptions;
  bool showFramesDuringGeneration = false;
  // Whether anyone looks at the preview picture. Without a display nobody does: the width checks of the preview
  // still run, but no picture is drawn.
  bool drawPreview = true;
  // A generation run repaints the window (the frame being written, when shown, and the progress bar) at most
  // once per interval, about 30 times a second; the bar's end always shows. Zero repaints at every entry. The
  // clock is the steady clock unless one is given.
  std::chrono::milliseconds repaintInterval{33};
  RepaintClock clock;
};

/*
 * One method per command of the window and per change the person makes to a control. Changes made by program
 * code follow the window's rules: selecting a list item runs no change action; moving a track bar runs its
 * change action when the position changes; setting the no-IFO box or a radio button runs its click action when
 * its state changes.
 *
 * Public commands never throw: a failure the person caused ends the command with the view's error box. Inside,
 * the commands call each other as the window's handlers do (the unattended run drives the load and generate
 * commands), and an error ends the outermost command.
 */
class MainController {
 public:
  MainController(MainView& view, ControllerOptions options = {});
  ~MainController();
  MainController(const MainController&) = delete;
  MainController& operator=(const MainController&) = delete;

  const MainState& State() const { return m_state; }
  // The job the window's controls hold, as "Add To Batch" writes it.
  JobSettings CurrentJob() const;
  const TSubtitle* SubtitleDocument() const { return m_document.get(); }
  FontEngine& Fonts() { return *m_fonts; }

  // Program start: defaults, the font list, the flags and the command line (arguments after the program name).
  void FormCreate(const std::vector<std::string>& args);
  // First activation: the preview background, then the unattended run when the command line was complete. The
  // caller (window or headless start) decides what happens to the settings file afterwards.
  void FormActivate();

  // "Input"
  void ButtonLoadIfoClick();
  void SetNoIfo(bool checked);  // the no-IFO box: its action runs when the state changes
  void SelectPal(bool pal);     // the Pal / Ntsc radio buttons: PalClick runs when the choice changes
  void ButtonLoadSubClick();
  // A file given to the window from outside (its name on the command line, a file dropped on the window): an IFO
  // is loaded as "Load IFO" loads the file chosen in its dialog (also while the no-IFO box is ticked: the IFO's
  // palette then takes the generic one's place), a file with a subtitle's extension as "Load SRT" loads a subtitle,
  // the dialog remembering the name. A subtitle that finds no palette in place takes the generic one, as ticking the
  // no-IFO box gives it, so the file opens rather than being refused. A file of any other kind changes nothing: a
  // message names it and the kinds the window opens. Ignored while a generation run is busy.
  void OpenFile(const std::string& path);

  // the subtitle list and the settings controls, as the person changes them
  void ListBoxPreviewClick(int index);
  void ChangeList(ListId id, int index);
  void MoveOffset(int position);
  void MoveOffsetOr(int position);

  // buttons
  void ButtonGenerateSupClick();
  void ButtonBatchClick();
  void BitBtnSetDefaultValuesClick();
  void BitBtnChangeImageClick();
  // The "VobSub too" box, by the person or by program code (the settings store): ticked, the run writes the SUP
  // file and the VobSub pair; cleared, the SUP file alone. No action beyond that.
  void SetVobSubToo(bool checked);
  // The "Break long lines" box, by the person or by program code: the next load or font change breaks lines too
  // wide for the frame (BreakLongLines) before it checks them. No action beyond that.
  void SetBreakLongLines(bool checked);
  // "Styles and placement from the file": the preview is drawn again with or without the file's styles; the
  // generation run and the line length check take them from then on.
  void SetFileStyles(bool checked);
  // The "16:9 video" box, by the person or by program code: when it changes, the preview is drawn again and a
  // loaded subtitle's lines are checked again, as after a change of font (the lines' widths change).
  void SetWideScreen(bool checked);

  // Changes made by program code (the settings store): select without a change action, move with one.
  void SelectListItem(ListId id, int index);
  void SetOffsetPosition(int position);
  void SetOffsetOrPosition(int position);
  void SetUserPicture(bool pal, const std::string& path);  // the invisible label's caption only

  // Whether a generation run is busy (its controls disabled).
  bool GenerationRunning() const { return !m_state.controlsIdle; }
  // The window closes during a run: the run stops after the entry it is on, as after "Abort", without a message.
  void StopGeneration() {
    if (GenerationRunning()) m_state.GenerationStopped = true;
  }

 private:
  void Guard(const std::function<void()>& command);
  void Changed();

  // the handlers
  void FormCreateSteps(bool setDefaultValuesCommand);
  void ReadCommandLine();
  void DoLoadIfo(bool askForFile = true);
  void i_dont_have_ifoClick();
  void PalClick();
  void DoLoadSub(bool askForFile = true);
  void DoGenerate();
  bool StartGeneration();
  GenerationJob BuildGenerationJob(const RenderSettings& render, FontEnginePerThread& engines, const OutputPaths& paths,
                                   const std::string& report);
  GenerationOutcome RunGenerationJob(const GenerationJob& job, const RenderSettings& render);
  void ReportGeneration(const GenerationOutcome& outcome, const std::string& report);
  void DoBatch();
  void DoUnattendedRun();
  void offsetChange();
  void offset_orChange();
  void ComboBoxAntialiasChange();
  void ComboBoxFontSizeChange();
  void ComboBoxFontCharsetChange();
  void SetIdleControls(bool idle);
  void SetNoIfoChecked(bool checked);
  void SetPalSelected(bool pal);
  void MoveTrackBar(TrackBarControl& bar, int position, void (MainController::*change)());

  // preview
  void LoadPreviewBackground();
  void RenderPreview(const EntryText& entry);
  void SamplePreview(const std::string& line2);
  void EntryPreview();
  void Refresh();

  // line length check
  void CheckLineLengths(const SubtitleLine& line);
  // The settings the line length check measures with: the current font, and the file's styles when ticked.
  RenderSettings MeasuringSettings() const;
  void CheckAllLines();
  // The characters of the chosen charset, which the readers split the subtitle's text by.
  TextCharacters CurrentCharacters() const;
  // How the charset chosen reads text without a byte-order mark.
  CodePageChoice CurrentCodePageChoice() const;
  // Reads the loaded subtitle's lines again when the chosen charset groups its bytes into other characters,
  // and lists them anew.
  void MatchDocumentToCharset();
  // Lists every entry's lines again (the list keeps its length; an emptied list stays empty).
  void RelistEntries();
  // With "Break long lines" ticked: lines too wide for the frame are broken again, and listed so.
  void BreakLongLinesIfTicked();

  // settings read from the controls
  FontDesc CurrentFont() const;
  RenderSettings CurrentRenderSettings() const;

  void ApplyRoles(int background, int text, int outline, int antialias);

  MainView& m_view;
  // Set while a run that shows its frames is busy: shows the entry being written now, so that the "Abort" message
  // stands beside the last entry the run writes, not the last one the throttle let through.
  std::function<void()> m_showEntryBeingWritten;
  ControllerOptions m_options;
  MainState m_state;
  std::unique_ptr<FontEngine> m_fonts;
  std::unique_ptr<TSubtitle> m_document;
  std::vector<std::string> m_args;
  std::array<Image24, 2> m_builtInBackgrounds;  // PAL, NTSC; drawn on first use
  std::string m_refusedPicture;                 // the user picture last refused, told once
};

}  // namespace quillet
