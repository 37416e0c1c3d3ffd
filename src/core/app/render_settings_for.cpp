// One job's settings as the renderer takes them: list indexes turned into the font, pixels and drawing colours.
#include "app/render_settings_for.h"

#include <string_view>

#include "job/command_line.h"
#include "render/charset_decoder.h"
#include "render/name_tables.h"
#include "sup/role_colours.h"

namespace quillet {
namespace {

// The text of a list item, empty for an index outside the list (no selection).
template <typename List>
std::string_view ItemText(const List& list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= std::size(list)) return {};
  return list[static_cast<std::size_t>(index)];
}

int ColourEntry(int index) { return PaletteIndexFromText(ItemText(kColourList, index)); }

}  // namespace

FontDesc FontFor(const JobSettings& job, const std::vector<std::string>& fontNames, int dpi) {
  FontDesc font;
  font.faceName = std::string(ItemText(fontNames, job.fontname));
  font.sizePt = ConvertIntegerValue(ItemText(kSizeList, job.fontsize));
  font.charset = CharsetFromText(ItemText(kCharsetList, job.fontcharset));
  font.style = StyleFromText(ItemText(kStyleList, job.fontstyle));
  font.dpi = dpi;
  return font;
}

RenderSettings RenderSettingsFor(const JobSettings& job, const std::vector<std::string>& fontNames,
                                 const std::array<Rgb, 16>& colours, int dpi) {
  RenderSettings settings;
  settings.font = FontFor(job, fontNames, dpi);
  settings.align = AlignmentFromText(ItemText(kAlignList, job.align));
  settings.offset = job.offset;
  settings.offsetOr = job.offsetor;
  settings.outlineWidthPx = ConvertIntegerValue(ItemText(kOutlineWidthList, job.outline));
  settings.standard = job.pal ? VideoStandard::Pal : VideoStandard::Ntsc;
  settings.roles = CaptureRoleColours(colours, ColourEntry(job.colorantialias), ColourEntry(job.coloroutline),
                                      ColourEntry(job.colortext));
  return settings;
}

CodePageChoice CodePageChoiceFor(uint8_t charset, const std::string& defaultCodeset, std::string howToChoose) {
  CodePageChoice choice;
  choice.findFromText = FindsCodePageFromText(charset, defaultCodeset);
  const CharsetInfo* row = FindCharset(charset);
  if (row != nullptr && charset != kCharsetDefault) choice.chosenCharset = std::string(row->name);
  choice.howToChoose = std::move(howToChoose);
  return choice;
}

}  // namespace quillet
