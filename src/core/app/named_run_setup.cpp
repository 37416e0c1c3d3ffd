// The shared part of a named run: font, palette, roles and frame, decided once before the first file.
#include "app/named_run_setup.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/render_settings_for.h"
#include "base/ascii_text.h"
#include "palette/ifo_reader.h"
#include "render/charset_decoder.h"
#include "render/name_tables.h"

namespace quillet {

NamedRunSetup PrepareNamedRun(const NamedOptions& options, FontEngine& engine, SetupError& error) {
  NamedRunSetup setup;
  setup.options = options;
  JobSettings& job = setup.options.job;

  // The font list of this machine: "Arial" first, as in the window, so Arial is always index 0.
  const std::vector<std::string> fonts = engine.FontNameList();
  int fontIndex = -1;
  for (std::size_t i = 0; i < fonts.size() && fontIndex < 0; ++i) {
    if (EqualsIgnoringAsciiCase(fonts[i], options.fontName)) fontIndex = static_cast<int>(i);
  }
  if (fontIndex < 0) {
    error = {true, "--font: '" + options.fontName + "' is not an installed font family (fc-list : family lists them)"};
    return setup;
  }
  job.fontname = fontIndex;

  if (!options.outputDir.empty()) {
    std::error_code ec;
    if (!std::filesystem::is_directory(options.outputDir, ec)) {
      error = {true, "-o: '" + options.outputDir + "' is not a folder"};
      return setup;
    }
  }

  setup.paletteYCrCb.fill(kGenericPaletteYCrCb[0]);
  std::copy(kGenericPaletteYCrCb.begin(), kGenericPaletteYCrCb.end(), setup.paletteYCrCb.begin());
  if (job.haveifo) {
    setup.palette = MakeGenericPalette();
    setup.roles = kGenericRoles;
    setup.reportCase = ReportCase::NoIfo;
  } else {
    IfoPaletteChoice choice;
    try {
      const IfoContents ifo = ReadIfoFile(job.filenameifo);
      choice = ChooseIfoPalette(ifo);
      if (!choice.display.generic) setup.paletteYCrCb = ifo.palette;
    } catch (const std::exception& e) {
      error = {false, job.filenameifo + ": " + e.what()};
      return setup;
    }
    setup.palette = choice.display;
    setup.roles = choice.roles;
    job.pal = choice.standard == VideoStandard::Pal;
    setup.options.wide = choice.aspect == DisplayAspect::Wide16x9;
    if (choice.monochromatic) {
      setup.reportCase = ReportCase::MonochromaticIfo;
      setup.notices.push_back(job.filenameifo +
                              ": the IFO has no polychromatic palette; the generic grey palette is used (the "
                              ".Quillet_Help.txt files say what to set on the DVD)");
    } else {
      setup.reportCase = ReportCase::WithIfo;
    }
  }
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
  setup.characters = CharactersOfCharset(setup.render.font.charset, engine.Options().defaultCodeset);
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
