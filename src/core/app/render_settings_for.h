// One job's settings as the renderer takes them: list indexes turned into the font, pixels and drawing colours.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "job/job_settings.h"
#include "render/image.h"
#include "render/render_settings.h"
#include "subtitle/file_text.h"

namespace quillet {

// The font of `job`: the face `fontNames[job.fontname]` and the size, charset and style its list indexes select
// (an index outside its list reads as the list's empty "no selection" text). unicodeText is left false: whether a
// document's text is Unicode is the document's to say. Throws ConversionError when no font size is selected
// ("'' is not a valid integer value").
FontDesc FontFor(const JobSettings& job, const std::vector<std::string>& fontNames, int dpi);

// The render settings of `job`: its font (FontFor), the alignment and outline width its list indexes select, its
// offsets, PAL or NTSC, and the drawing colours of the roles from the palette's 16 `colours`. Throws
// ConversionError when no font size or outline width is selected.
RenderSettings RenderSettingsFor(const JobSettings& job, const std::vector<std::string>& fontNames,
                                 const std::array<Rgb, 16>& colours, int dpi);

// How a subtitle is read when it is to be drawn with `charset`: under DEFAULT its code page is found from text that
// is not UTF-8 (FindsCodePageFromText); a charset chosen is named when a byte-order mark overrides it.
// `howToChoose` ends the notices ("give --charset to choose").
CodePageChoice CodePageChoiceFor(uint8_t charset, const std::string& defaultCodeset, std::string howToChoose);

}  // namespace quillet
