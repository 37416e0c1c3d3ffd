// What every file of a named run shares, decided once before the first file: the font, the palette with its
// four roles, the frame, and where the outputs go.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/text_characters.h"
#include "job/named_command_line.h"
#include "palette/grey_band_roles.h"
#include "palette/palette_display.h"
#include "render/font_engine.h"
#include "render/frame.h"
#include "render/render_settings.h"
#include "run/output_files.h"
#include "subtitle/file_text.h"
#include "sup/role_colours.h"
#include "sup/subpicture_unit.h"

namespace quillet {

struct NamedRunSetup {
  NamedOptions options;       // options.job.fontname is the index of options.fontName in the font list
  RenderSettings render;      // for every file, but for whether its text is Unicode (Render)
  TextCharacters characters;  // of render.font.charset: where the readers find markup in 8-bit text
  CodePageChoice codePage;    // how text without a byte-order mark is read (render.font.charset)
  PaletteDisplay palette;
  // The 16 entries (Y Cr Cb) the units are coded for, as a disc must hold them: the IFO's own when its palette is
  // in use, else the generic greys with entries 4 to 15 black.
  std::array<uint32_t, kPaletteSize> paletteYCrCb{};
  // The IFO's own 16 entries when the generic palette replaced them (ReportCase::MonochromaticIfo).
  std::array<uint32_t, kPaletteSize> replacedIfoYCrCb{};
  RoleSelection roles;
  PaletteEntries paletteEntries;
  ReportCase reportCase = ReportCase::NoIfo;
  // Said once for the whole run, before the files (an IFO without a usable palette, say).
  std::vector<std::string> notices;

  // The render settings for one file; a UTF-16 file's text is Unicode whatever the charset. The file's styles
  // are drawn unless --plain.
  RenderSettings Render(bool unicodeText) const {
    RenderSettings settings = render;
    settings.font.unicodeText = unicodeText;
    settings.stylesFromFile = !options.plain;
    return settings;
  }
};

// A failure of the command as a whole: nothing can be converted. `usage` marks the ones that are the command
// line's fault (exit status 2); the others (an IFO that cannot be read) end the run with status 1.
struct SetupError {
  bool usage = false;
  std::string message;
};

// Resolves the font name against the installed list, reads the IFO once when one is named (the same choice of
// palette and roles as the window's "Load IFO": an IFO without the needed greys gives the generic palette), and
// checks the output folder. Returns the setup, or fills `error` and returns nothing usable.
NamedRunSetup PrepareNamedRun(const NamedOptions& options, FontEngine& engine, SetupError& error);

// The output files of one input (those of the chosen format, and the instruction file): beside it, or in the
// run's output folder.
// Its Files() are every file the conversion writes, in the order the "wrote" line lists them.
OutputPaths NamedOutputPaths(const NamedOptions& options, const std::string& subtitlePath);

}  // namespace quillet
