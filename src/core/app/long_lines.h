// "Break long lines" / --wrap over a whole document.
#pragma once

#include "render/font_engine.h"
#include "subtitle/subtitle.h"

namespace quillet {

// Every entry with a line too wide for the frame gets its Line1 and Line2 from BreakLongLines where a break makes
// them fit; the others stay as they are (the width check refuses them). Returns how many entries were broken.
int BreakLongLinesOfDocument(TSubtitle& document, FontEngine& engine, const FontDesc& font);

}  // namespace quillet
