// Everything the main window's controls and flags hold, as plain values the controller owns.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/main_view.h"
#include "job/job_settings.h"
#include "palette/palette_display.h"
#include "render/frame.h"
#include "render/image.h"
#include "base/output_format.h"

namespace quillet {

inline constexpr const char* kMainCaption = "Quillet By Veltrix";

// A drop-down list that accepts only its items. itemIndex -1 means no selection (and an empty text).
struct ListControl {
  std::vector<std::string> items;
  int itemIndex = -1;

  bool HasSelection() const { return itemIndex >= 0 && itemIndex < static_cast<int>(items.size()); }
  std::string Text() const { return HasSelection() ? items[static_cast<std::size_t>(itemIndex)] : std::string(); }
  // Selecting from program code: an index outside the list leaves no selection.
  void Select(int index) { itemIndex = index >= 0 && index < static_cast<int>(items.size()) ? index : -1; }
};

struct TrackBarControl {
  int min = 0;
  int max = 0;
  int position = 0;
};

struct ProgressBarControl {
  int min = 0;
  int max = 100;
  int position = 0;
};

// The lists of the window, for the commands that take "the user picked item n of list X".
enum class ListId {
  Antialias,
  Outline,
  Text,
  Bg,
  FontName,
  FontCharset,
  FontStyle,
  FontSize,
  Align,
  OutlineWidth,
};

struct MainState {
  std::string caption = kMainCaption;

  // "Input"
  std::string EditLoadIfo = "Load IFO";
  bool ButtonLoadIfoEnabled = true;
  bool i_dont_have_ifo = false;  // the no-IFO check box
  bool Pal = true;               // the radio buttons: Pal selected, else Ntsc
  bool PalNtscEnabled = false;
  std::string EditLoadSrt = "Load SRT";
  std::optional<PaletteDisplay> palette;  // the 16 swatches and labels; none when removed
  std::array<uint32_t, 16> IfoPalette{};

  // outside the groups
  std::vector<std::string> ListBoxPreview;
  int ListBoxPreviewIndex = -1;
  ProgressBarControl ProgressBar1;
  std::string ButtonGenerateSup = "Generate Sup";
  bool controlsIdle = true;  // the groups, ListBoxPreview and ButtonBatch are enabled

  // "Colors"
  ListControl ComboBoxAntialias, ComboBoxOutline, ComboBoxText, ComboBoxBg;

  // What the run writes: the "VobSub too" box of "General Settings" chooses the SUP file alone or with an
  // .idx/.sub pair for players and Matroska; the named command line may choose any format and a language.
  OutputOptions output;
  bool CheckBoxVobSub() const { return WritesVobSub(output.format); }
  // "Break long lines": an entry too wide for the frame is broken into lines that fit, where the text has blanks.
  bool CheckBoxBreakLines = false;
  // "Styles and placement from the file": italic, bold and underline runs, the entry's place and a third line
  // are drawn as the file gives them; unticked, every line in the chosen style at the chosen place.
  bool CheckBoxFileStyles = false;
  // "16:9 video" beside Pal and Ntsc, enabled with them: the video is shown stretched to 16:9, so glyphs are drawn
  // squeezed to 3/4. An IFO sets it from its title's aspect.
  bool CheckBoxWideScreen = false;

  // "Render Fonts"
  ListControl ComboBoxFontName, ComboBoxFontCharset, ComboBoxFontStyle, ComboBoxFontSize, ComboBoxAlign,
      ComboBoxOutlineWidth;
  TrackBarControl offset{kOffsetMin, kOffsetMax, kDefaultOffset};
  TrackBarControl offset_or{kOffsetOrMin, kOffsetOrMax, kDefaultOffsetOr};
  std::string LabelOffset = std::to_string(kDefaultOffset);
  std::string LabelOffset_Or = std::to_string(kDefaultOffsetOr);

  // invisible labels: the user's preview pictures (empty: the built-in one)
  std::string LabelImageChangedPAL;
  std::string LabelImageChangedNTSC;

  // the dialogs, each remembering its file name
  FileDialogState OpenDialogifo{"", "ifo|*.ifo", ""};
  FileDialogState OpenDialogsub{"", "*.srt;*.sub;*.txt|*.srt;*.sub;*.txt|*.vtt;*.ass;*.ssa|*.vtt;*.ass;*.ssa", ""};
  FileDialogState OpenDialogBat{"", "*.bat|*.bat", "", true};  // a new batch file is typed in here
  FileDialogState OpenDialogImagePAL{"Load 720x576 PAL image", "Load your PAL 720x576 BMP|*.bmp", ""};
  FileDialogState OpenDialogImageNTSC{"Load 720x480 NTSC image", "Load your NTSC 720x480 BMP|*.bmp", ""};

  // shared flags
  bool IfoLoaded = false;
  bool SubtitleLoaded = false;
  bool LinesFit = true;
  bool NoIfo = false;
  bool MonochromaticIfo = false;
  bool Unattended = false;
  bool GenerationStopped = true;
  std::array<std::string, 16> CommandLineArgs;

  // what the preview image shows: the background, a drawn preview, or the frame generated last
  Image24 preview;
  RenderedFrame FrameBitmap;

  VideoStandard Standard() const { return Pal ? VideoStandard::Pal : VideoStandard::Ntsc; }
  ListControl& List(ListId id);
  const ListControl& List(ListId id) const;
};

}  // namespace quillet
