// Coding an entry's band straight from the passes of its lines, without painting a frame.
#pragma once

#include "render/subtitle_renderer.h"
#include "sup/paint_codes.h"
#include "sup/run_length_coding.h"

namespace quillet {

// The band's pixel-data block, byte for byte what painting the passes onto a blue frame in the role colours,
// scanning the band and coding its runs gives. `codes` are PaintCodesFor the role colours.
// Throws QuilletError when the band is empty, starts on an odd row or leaves the frame.
void EncodeBandFromPasses(const EntryPasses& passes, const PaintCodes& codes, PixelData& out);

// Whether frame row y, painted with the passes in the role colours, holds any pixel other than the blue
// background (a role coloured pure blue shows nothing there).
bool RowShowsPaint(const EntryPasses& passes, const PaintCodes& codes, int y);

}  // namespace quillet
