// Measuring, placing and drawing an entry's two lines, and rendering the blue frame the encoder reads.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/text_style.h"
#include "render/bit_mask.h"
#include "render/font_engine.h"
#include "render/frame.h"
#include "render/image.h"
#include "render/render_settings.h"

namespace quillet {

// The text of one entry as the layout takes it: three lines and what the file says beyond them (none: nullptr).
// Unless the settings keep the file's styles, only lines 1 and 2 are drawn, in the chosen style at the chosen place.
struct EntryText {
  std::string_view line1;
  std::string_view line2;
  std::string_view line3;
  const EntryStyle* style = nullptr;
};

// Widths and cell heights of the lines, in pixels; w3 and h3 are 0 unless a third line is drawn.
struct LineMeasures {
  int w1 = 0;
  int h1 = 0;
  int w2 = 0;
  int h2 = 0;
  int w3 = 0;
  int h3 = 0;
  bool operator==(const LineMeasures&) const = default;
};

// Top-left corners of the text cells.
struct LineOrigins {
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  int x3 = 0;
  int y3 = 0;
  bool operator==(const LineOrigins&) const = default;
};

// One entry laid out on a frame of `frameHeight` rows: what measuring, checking and every drawing (the DVD's
// masks, the preview, an antialiased picture) take, so that all of them see the same lines at the same places.
struct EntryLayout {
  std::array<LineLayout, 3> lines;  // the third is empty unless drawn
  LineMeasures measures;
  LineOrigins origins;
  int frameHeight = 0;
};

// Lays the entry out with the settings' font: lines 1 and 2 at the chosen place, as RenderFrame always has; with
// the settings' stylesFromFile and an entry style, each line's runs in their styles, a third line below the
// second (the block raised by its height at the bottom), and the entry where the file puts it: at the top its
// first cell starts `offset` rows below the frame's top, in the middle the cells are centred on the frame, at the
// bottom (or the chosen place) they stand where the two lines do today; left, centre or right across.
EntryLayout LayOutEntry(FontEngine& engine, const EntryText& entry, const RenderSettings& settings, int frameHeight);

// The rows the encoder reads: top is even, top .. top + height − 1 lie inside the frame.
struct Band {
  int top = 0;
  int height = 0;
  BandFit fit = BandFit::Inside;  // how much of the band as placed lies inside the frame
  bool operator==(const Band&) const = default;
};

// Measures each line as a single line in the font: w the sum of the advances, h the text cell height. An empty
// line measures as one space.
LineMeasures MeasureSubtitleLines(FontEngine& engine, std::string_view line1, std::string_view line2,
                                  const FontDesc& font);
// The measures of LayOutEntry (the line length check of an entry).
LineMeasures MeasureEntry(FontEngine& engine, const EntryText& entry, const RenderSettings& settings);

// The x of a line's cell on the 720-wide frame: centred 360 − w div 2, left 8, right 712 − w.
int LineOriginX(Alignment align, int widthPx);

// Where the two cells go on a frame of frameHeight rows: y1 = H − h1 − offset − 40, y2 = y1 + h2 − offsetOr.
LineOrigins PlaceSubtitleLines(const LineMeasures& measures, Alignment align, int offset, int offsetOr,
                               int frameHeight);

// Frame rows top .. end − 1 that hold drawn pixels; none when end <= top.
struct InkRows {
  int top = 0;
  int end = 0;
  bool Empty() const { return end <= top; }
};

// The subtitle band for line 1's cell top y1: from y1 (y1 − 1 when odd) for h1 + h2 − offsetOr + 6 rows (and
// h3 − offsetOr more for a third line),
// widened to hold every drawn row (`ink`: tall marks and the outline above line 1's cell, anything below line 2's)
// with the top kept even, then clamped to the frame's rows with the top kept even, so that reading the band never
// leaves the frame. A band wholly outside the frame becomes the two rows at the nearer edge (nothing is drawn
// there). `fit` tells which of the three happened.
Band SubtitleBand(int y1, const LineMeasures& measures, int offsetOr, int frameHeight, InkRows ink = {});

// Draws the two lines onto a picture (the blue frame, or the preview's picture; its height is H) and returns
// their origins. Only glyph pixels are painted. For line 1 and then line 2: the outline pass (every pixel within
// outlineWidthPx of ink, square), the antialias pass (within 1), the text pass (the ink), in the role colours.
// Pixels outside the picture are clipped. `measures` must be those of MeasureSubtitleLines for the same lines
// and font. The settings' video standard is not used: the picture's own height places the lines.
LineOrigins DrawSubtitleLines(FontEngine& engine, Image24& picture, std::string_view line1, std::string_view line2,
                              const LineMeasures& measures, const RenderSettings& settings);

// The same for an entry as LayOutEntry lays it out on the picture's height; returns the layout.
EntryLayout DrawEntry(FontEngine& engine, Image24& picture, const EntryText& entry, const RenderSettings& settings);

// One line's three passes, in one box: the outline (the ink dilated by the outline width, square), the antialias
// ring (the ink dilated by 1) and the ink; the line's text cell has its top-left corner at (cellX, cellY).
// Painted as layers (outline, then ring, then ink on top) they give exactly what drawing the line at every
// shifted point would. All three are empty when the line has no ink.
struct LinePasses {
  BitMask outline;
  BitMask ring;
  BitMask ink;
  int cellX = 0;
  int cellY = 0;
};

// Everything drawing an entry paints, before any colour: line 1's passes, then line 2's (painted after them,
// so on top where they meet), then a third line's, with the band and the height of the frame they are placed on.
struct EntryPasses {
  std::array<LinePasses, 3> lines;
  Band band;
  int frameHeight = 0;
  // Characters of the entry that no installed font has (drawn as the face's empty box), each once.
  std::u32string missingCharacters;
  // Control characters left out of the entry's lines (LayoutLine), each once.
  std::u32string controlCharacters;
};

// The frame rows the passes paint inside the frame (the outline holds every pixel a line draws).
InkRows PaintedRows(const std::array<LinePasses, 3>& lines);

// Lays out and places the entry's two lines as RenderFrame does, on a frame of the settings' standard, and
// rasterises their passes. The settings' role colours are not used.
void RenderEntryPasses(FontEngine& engine, std::string_view line1, std::string_view line2,
                       const RenderSettings& settings, EntryPasses& out);
// The same for an entry as LayOutEntry lays it out.
void RenderEntryPasses(FontEngine& engine, const EntryText& entry, const RenderSettings& settings, EntryPasses& out);

// Paints the passes onto `picture` in the role colours: line 1's outline, ring and ink, then line 2's.
void PaintEntryPasses(const EntryPasses& passes, const RoleRgb& roles, Image24& picture);

// A blue frame of the standard's size: every pixel RGB (0, 0, 255).
Image24 BlueFrame(VideoStandard standard);

// Renders one entry: a fresh blue frame of the settings' standard (720 × 576 PAL, 720 × 480 NTSC), the two lines
// drawn as DrawSubtitleLines does, and the band.
RenderedFrame RenderFrame(FontEngine& engine, std::string_view line1, std::string_view line2,
                          const RenderSettings& settings);

// The same, drawn into `frame`, whose picture is reused (painted blue again) when it has the standard's size.
void RenderFrameInto(FontEngine& engine, std::string_view line1, std::string_view line2, const RenderSettings& settings,
                     RenderedFrame& frame);
void RenderFrameInto(FontEngine& engine, const EntryText& entry, const RenderSettings& settings, RenderedFrame& frame);

}  // namespace quillet
