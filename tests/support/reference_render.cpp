// The reference renderer: the literal drawing algorithm, kept to check the fast one pixel for pixel and to
// measure it against. Nothing in the program draws with it.
#include "reference_render.h"

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
                                       std::string_view line2, const LineMeasures& measures,
                                       const RenderSettings& settings) {
  const LineOrigins origins =
      PlaceSubtitleLines(measures, settings.align, settings.offset, settings.offsetOr, picture.Height());
  const int width = settings.outlineWidthPx;
  ReferenceDrawLine(picture, engine.LayoutLine(settings.font, line1), origins.x1, origins.y1, width, settings.roles);
  ReferenceDrawLine(picture, engine.LayoutLine(settings.font, line2), origins.x2, origins.y2, width, settings.roles);
  return origins;
}

RenderedFrame ReferenceRenderFrame(FontEngine& engine, std::string_view line1, std::string_view line2,
                                   const RenderSettings& settings) {
  RenderedFrame result;
  result.frame = Image24(kFrameWidth, FrameHeight(settings.standard), kFrameBlue);
  const LineMeasures measures = MeasureSubtitleLines(engine, line1, line2, settings.font);
  const LineOrigins origins = ReferenceDrawSubtitleLines(engine, result.frame, line1, line2, measures, settings);
  // The drawn rows, read off a picture drawn the same way in colours none of which is the frame's blue: a role
  // may be given that blue, and its pixels would not show on the picture itself.
  RenderSettings marked = settings;
  marked.roles = RoleRgb{{128, 128, 128}, {0, 0, 0}, {255, 255, 255}};
  Image24 markedPicture(kFrameWidth, FrameHeight(settings.standard), kFrameBlue);
  ReferenceDrawSubtitleLines(engine, markedPicture, line1, line2, measures, marked);
  InkRows ink;
  for (int y = 0; y < markedPicture.Height(); ++y) {
    for (int x = 0; x < markedPicture.Width(); ++x) {
      if (markedPicture.Pixel(x, y) == kFrameBlue) continue;
      if (ink.Empty()) ink.top = y;
      ink.end = y + 1;
      break;
    }
  }
  const Band band = SubtitleBand(origins.y1, measures, settings.offsetOr, result.frame.Height(), ink);
  result.bandTop = band.top;
  result.bandHeight = band.height;
  result.bandFit = band.fit;
  return result;
}

}  // namespace quillet
