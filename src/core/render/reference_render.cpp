// The reference renderer: the literal drawing algorithm, kept to check the fast one pixel for pixel and to
// measure it against. Nothing in the program draws with it.
#include "render/reference_render.h"

namespace quillet {
namespace {

void ReferenceDrawLine(Image24& picture, const LineLayout& layout, int x, int y, int outlineWidthPx,
                       const RoleRgb& roles) {
  for (int dx = -outlineWidthPx; dx <= outlineWidthPx; ++dx) {
    for (int dy = -outlineWidthPx; dy <= outlineWidthPx; ++dy) {
      ReferenceDrawLineOnce(picture, layout, x + dx, y + dy, roles.outline);
    }
  }
  for (int dx = -1; dx <= 1; ++dx) {
    for (int dy = -1; dy <= 1; ++dy) ReferenceDrawLineOnce(picture, layout, x + dx, y + dy, roles.antialias);
  }
  ReferenceDrawLineOnce(picture, layout, x, y, roles.text);
}

}  // namespace

void ReferenceDrawLineOnce(Image24& picture, const LineLayout& layout, int x, int y, Rgb colour) {
  for (const PlacedGlyph& placed : layout.glyphs) {
    const GlyphBitmap& glyph = *placed.glyph;
    for (int j = 0; j < glyph.height; ++j) {
      const int py = y + placed.y + j;
      if (py < 0 || py >= picture.Height()) continue;
      for (int i = 0; i < glyph.width; ++i) {
        const int px = x + placed.x + i;
        if (px < 0 || px >= picture.Width()) continue;
        if (glyph.pixels[static_cast<std::size_t>(j) * glyph.width + i] != 0) picture.SetPixel(px, py, colour);
      }
    }
  }
  for (const InkRect& rule : layout.rules) {
    for (int j = 0; j < rule.height; ++j) {
      const int py = y + rule.y + j;
      if (py < 0 || py >= picture.Height()) continue;
      for (int i = 0; i < rule.width; ++i) {
        const int px = x + rule.x + i;
        if (px >= 0 && px < picture.Width()) picture.SetPixel(px, py, colour);
      }
    }
  }
}

LineOrigins ReferenceDrawSubtitleLines(FontEngine& engine, Image24& picture, std::string_view line1,
                                       std::string_view line2, const FontDesc& font, const LineMeasures& measures,
                                       std::string_view align, int offset, int offsetOr, int outlineWidthPx,
                                       const RoleRgb& roles) {
  const LineOrigins origins = PlaceSubtitleLines(measures, align, offset, offsetOr, picture.Height());
  ReferenceDrawLine(picture, engine.LayoutLine(font, line1), origins.x1, origins.y1, outlineWidthPx, roles);
  ReferenceDrawLine(picture, engine.LayoutLine(font, line2), origins.x2, origins.y2, outlineWidthPx, roles);
  return origins;
}

RenderedFrame ReferenceRenderFrame(FontEngine& engine, std::string_view line1, std::string_view line2,
                                   const FontDesc& font, int offset, int offsetOr, std::string_view align,
                                   VideoStandard standard, int outlineWidthPx, const RoleRgb& roles) {
  RenderedFrame result;
  result.frame = Image24(kFrameWidth, FrameHeight(standard), kFrameBlue);
  const LineMeasures measures = MeasureSubtitleLines(engine, line1, line2, font);
  const LineOrigins origins = ReferenceDrawSubtitleLines(engine, result.frame, line1, line2, font, measures, align,
                                                         offset, offsetOr, outlineWidthPx, roles);
  const Band band = SubtitleBand(origins.y1, measures, offsetOr, result.frame.Height());
  result.bandTop = band.top;
  result.bandHeight = band.height;
  result.bandFit = band.fit;
  return result;
}

}  // namespace quillet
