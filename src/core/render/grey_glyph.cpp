// A glyph drawn antialiased: FreeType's grey coverage of its shape and of the shape grown by the stroker.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_SIZES_H
#include FT_STROKER_H
#include FT_SYNTHESIS_H

#include "render/font_instance.h"

namespace quillet {
namespace {

// Copies a grey (or monochrome) bitmap glyph's pixels, placed by its left and top.
GreyCoverage CoverageOf(FT_Glyph glyph) {
  GreyCoverage out;
  if (glyph->format != FT_GLYPH_FORMAT_BITMAP) return out;
  const FT_BitmapGlyphRec* bitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(glyph);
  const FT_Bitmap& bitmap = bitmapGlyph->bitmap;
  const int width = static_cast<int>(bitmap.width);
  const int height = static_cast<int>(bitmap.rows);
  if (width <= 0 || height <= 0 || bitmap.buffer == nullptr) return out;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return out;
  out.left = bitmapGlyph->left;
  out.top = bitmapGlyph->top;
  out.width = width;
  out.height = height;
  out.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  const bool grey = bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
  const int levels = grey && bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
  for (int j = 0; j < height; ++j) {
    const int pitch = bitmap.pitch;
    const unsigned char* row = pitch >= 0 ? bitmap.buffer + static_cast<std::ptrdiff_t>(j) * pitch
                                          : bitmap.buffer + static_cast<std::ptrdiff_t>(height - 1 - j) * -pitch;
    uint8_t* to = out.pixels.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(width);
    for (int i = 0; i < width; ++i) {
      const int value = grey ? row[i] * 255 / levels : ((row[i >> 3] & (0x80 >> (i & 7))) != 0 ? 255 : 0);
      to[i] = static_cast<uint8_t>(value);
    }
  }
  return out;
}

// Renders a copy of `glyph` (grown by the stroker when one is given) to grey coverage.
GreyCoverage Rasterise(FT_Glyph glyph, FT_Stroker stroker) {
  FT_Glyph copy = nullptr;
  if (FT_Glyph_Copy(glyph, &copy) != 0) return {};
  GreyCoverage out;
  const bool grown = stroker == nullptr || FT_Glyph_StrokeBorder(&copy, stroker, 0, 1) == 0;
  if (grown && FT_Glyph_To_Bitmap(&copy, FT_RENDER_MODE_NORMAL, nullptr, 1) == 0) out = CoverageOf(copy);
  FT_Done_Glyph(copy);
  return out;
}

}  // namespace

const GreyGlyph& FontInstance::Grey(FT_UInt index, int strokePx64) {
  const uint64_t key = (uint64_t{static_cast<uint32_t>(strokePx64)} << 32) | index;
  if (auto found = m_greyGlyphs.find(key); found != m_greyGlyphs.end()) return found->second;
  GreyGlyph& out = m_greyGlyphs[key];
  FT_Activate_Size(m_size);
  // Outlines only: the stroker grows outlines, and an embedded bitmap would not be antialiased.
  if (FT_Load_Glyph(m_face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return out;
  FT_GlyphSlot slot = m_face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return out;
  if (m_metrics.syntheticBold) FT_GlyphSlot_Embolden(slot);
  if (m_metrics.syntheticItalic) FT_GlyphSlot_Oblique(slot);
  FT_Glyph glyph = nullptr;
  if (FT_Get_Glyph(slot, &glyph) != 0) return out;
  out.fill = Rasterise(glyph, nullptr);
  FT_Stroker stroker = nullptr;
  if (strokePx64 > 0 && FT_Stroker_New(slot->library, &stroker) == 0) {
    FT_Stroker_Set(stroker, strokePx64, FT_STROKER_LINECAP_ROUND, FT_STROKER_LINEJOIN_ROUND, 0);
    out.grown = Rasterise(glyph, stroker);
    FT_Stroker_Done(stroker);
  }
  FT_Done_Glyph(glyph);
  return out;
}

}  // namespace quillet
