// "Break long lines" / --wrap over a whole document.
#pragma once

#include "render/font_engine.h"
#include "render/render_settings.h"
#include "subtitle/subtitle.h"

namespace quillet {

// How many lines an entry may be broken into for a run drawn with `render`: as many as the drawing shows, so that
// no text a break moves down is left out.
int WrapLineLimit(const RenderSettings& render);

// Every entry with a line too wide for the frame gets its first `maxLines` lines from BreakLongLines where
// breaking makes them fit; the others stay as they are (the width check refuses them). Lines after the first
// `maxLines` are left alone. Returns how many entries were broken.
int BreakLongLinesOfDocument(TSubtitle& document, FontEngine& engine, const FontDesc& font, int maxLines);

}  // namespace quillet
