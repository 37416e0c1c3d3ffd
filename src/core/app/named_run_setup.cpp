// The shared part of a named run: font, palette, roles and frame, decided once before the first file.
#include "app/named_run_setup.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/render_settings_for.h"
#include "base/ascii_text.h"
#include "base/errors.h"
#include "base/file_paths.h"
#include "base/shown_text.h"
#include "palette/ifo_reader.h"
#include "render/charset_decoder.h"
#include "render/name_tables.h"

namespace quillet {

namespace {

// Why the -o folder cannot take the outputs (empty: no -o, or a folder). Resolved as every output name in it will
// be (OutputFile, FileKey): a link on the way that may not be followed is refused here, before any file is read.
SetupError OutputFolderError(const std::string& folder) {
  if (folder.empty()) return {};
  try {
    std::error_code ec;
    if (!std::filesystem::is_directory(ResolvedPath(folder, "use"), ec)) {
      return {true, "-o: '" + EscapeControls(folder) + "' is not a folder"};
    }
  } catch (const FileError& e) {
    return {true, "-o: " + EscapeControls(e.what())};
  }
  return {};
}

// The index of `name` in the machine's font list ("Arial" first, as in the window, so Arial is always index 0);
// -1 when it is not installed.
int FontIndex(const std::vector<std::string>& fonts, const std::string& name) {
  for (std::size_t i = 0; i < fonts.size(); ++i) {
    if (EqualsIgnoringAsciiCase(fonts[i], name)) return static_cast<int>(i);
  }
  return -1;
}

// The palette, its roles and the report's case: the generic ones, or the IFO's as "Load IFO" chooses them (the
// IFO's standard decides the frame). False, with `error` filled, when the IFO cannot be read.
bool ChoosePalette(NamedRunSetup& setup, SetupError& error) {
  JobSettings& job = setup.options.job;
  setup.paletteYCrCb.fill(kGenericPaletteYCrCb[0]);
  std::copy(kGenericPaletteYCrCb.begin(), kGenericPaletteYCrCb.end(), setup.paletteYCrCb.begin());
  if (job.haveifo) {
    setup.palette = MakeGenericPalette();
    setup.roles = kGenericRoles;
    setup.reportCase = ReportCase::NoIfo;
    return true;
  }
  IfoPaletteChoice choice;
  try {
    const IfoContents ifo = ReadIfoFile(job.filenameifo);
    choice = ChooseIfoPalette(ifo);
    if (!choice.display.generic) setup.paletteYCrCb = ifo.palette;
    setup.replacedIfoYCrCb = ifo.palette;
  } catch (const std::exception& e) {
    error = {false, job.filenameifo + ": " + e.what()};
    return false;
  }
  setup.palette = choice.display;
  setup.roles = choice.roles;
  job.pal = choice.standard == VideoStandard::Pal;
  setup.options.wide = choice.aspect == DisplayAspect::Wide16x9;
  setup.reportCase = choice.monochromatic ? ReportCase::MonochromaticIfo : ReportCase::WithIfo;
  if (choice.monochromatic) {
    setup.notices.push_back(job.filenameifo +
                            ": the IFO has no polychromatic palette; the generic grey palette is used (the "
                            ".Quillet_Help.txt files say what to set on the DVD)");
  }
  return true;
}

}  // namespace

NamedRunSetup PrepareNamedRun(const NamedOptions& options, FontEngine& engine, SetupError& error) {
  NamedRunSetup setup;
  setup.options = options;
  JobSettings& job = setup.options.job;

  const std::vector<std::string> fonts = engine.FontNameList();
  job.fontname = FontIndex(fonts, options.fontName);
  if (job.fontname < 0) {
    error = {true, "--font: '" + options.fontName + "' is not an installed font family (fc-list : family lists them)"};
    return setup;
  }
  if (error = OutputFolderError(options.outputDir); !error.message.empty()) return setup;
  if (!ChoosePalette(setup, error)) return setup;

  if (options.coloursGiven) {
    setup.roles = RoleSelection{job.colorbg, job.colortext, job.coloroutline, job.colorantialias};
  } else {
    job.colorbg = setup.roles.background;
    job.colortext = setup.roles.text;
    job.coloroutline = setup.roles.outline;
    job.colorantialias = setup.roles.antialias;
  }
  setup.render = RenderSettingsFor(job, fonts, setup.palette.Colours(), 96);
  setup.render.font.aspect = setup.options.wide ? DisplayAspect::Wide16x9 : DisplayAspect::Standard4x3;
  constexpr BaseDirection kDirections[] = {BaseDirection::Auto, BaseDirection::Ltr, BaseDirection::Rtl};
  setup.render.font.direction = kDirections[options.direction];
  setup.characters = CharactersOfCharset(setup.render.font.charset, engine.Options().defaultCodeset);
  setup.codePage =
      CodePageChoiceFor(setup.render.font.charset, engine.Options().defaultCodeset, "give --charset to choose");
  setup.paletteEntries =
      PaletteEntries{setup.roles.antialias, setup.roles.outline, setup.roles.text, setup.roles.background};
  return setup;
}

OutputPaths NamedOutputPaths(const NamedOptions& options, const std::string& subtitlePath) {
  if (options.outputDir.empty()) return OutputPathsFor(subtitlePath, options.format);
  const std::string name = SplitFolder(subtitlePath).name;
  return OutputPathsFor((std::filesystem::path(options.outputDir) / name).string(), options.format);
}

}  // namespace quillet
