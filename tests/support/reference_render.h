// The reference renderer: the literal drawing algorithm, kept to check the fast one pixel for pixel and to
// measure it against. Nothing in the program draws with it.
#pragma once

#include <string_view>

#include "render/subtitle_renderer.h"

namespace quillet {

// Draws the line's glyphs and rules once with the top-left of its cell at (x, y), clipped to the picture.
void ReferenceDrawLineOnce(Image24& picture, const LineLayout& layout, int x, int y, Rgb colour);

// DrawSubtitleLines done literally: for each line, (2W + 1)² draws at (x + dx, y + dy) in the outline colour
// (dx outer, dy inner, both ascending from −W), 9 draws in the antialias colour, one in the text colour.
LineOrigins ReferenceDrawSubtitleLines(FontEngine& engine, Image24& picture, std::string_view line1,
                                       std::string_view line2, const LineMeasures& measures,
                                       const RenderSettings& settings);

// RenderFrame with the literal drawing and a frame filled pixel by pixel.
RenderedFrame ReferenceRenderFrame(FontEngine& engine, std::string_view line1, std::string_view line2,
                                   const RenderSettings& settings);

}  // namespace quillet
