// One face at one em size and style: its Windows metrics, its monochrome glyphs and its shaping font.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <optional>
#include <unordered_map>

#include "render/font_engine.h"
#include "render/font_resolver.h"

struct hb_font_t;

namespace quillet {

// units × em ÷ unitsPerEm rounded to nearest, ties to even; 0 when unitsPerEm is not positive.
int ScaleRound(long units, int em, int unitsPerEm);

// The glyph a code point takes in the plain path, and whether the plain path may draw it: the face has it (or it
// is a control character, drawn as the face's missing-glyph shape as it always was) and it needs no shaping.
struct CodePointGlyph {
  const GlyphBitmap* glyph = nullptr;
  bool plain = false;
};

// Coverage 0..255 of a glyph's fill and of its grown shape, each placed as GlyphBitmap's pixels are.
struct GreyCoverage {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width × height, top row first
};
struct GreyGlyph {
  GreyCoverage fill;
  GreyCoverage grown;
};

class FontInstance {
 public:
  // Opens a size of `face` (shared with other instances of the same file) at `em` pixels and measures it. For a
  // 16:9 frame the size is em pixels high and 3/4 em wide: glyphs, advances and shaping positions come out
  // squeezed across, hinted at that width; the vertical metrics are those of the em.
  // Throws QuilletError when the face cannot be drawn at that size.
  FontInstance(FT_Face face, const ResolvedFace& resolved, int em, DisplayAspect aspect = DisplayAspect::Standard4x3);
  ~FontInstance();
  FontInstance(const FontInstance&) = delete;
  FontInstance& operator=(const FontInstance&) = delete;

  const FontMetrics& Metrics() const { return m_metrics; }

  // The glyph index of a code point, 0 when the face lacks it. Under SYMBOL a symbol font is asked for
  // 0xF000 + byte first; a font without a Unicode map at all is read the same way whatever the charset.
  FT_UInt GlyphIndex(char32_t codePoint, bool symbolCharset);
  bool Covers(char32_t codePoint) { return GlyphIndex(codePoint, false) != 0; }

  // The rasterised glyph (hinted advance, monochrome bitmap), made on first use. The reference stays valid for
  // the instance's life.
  const GlyphBitmap& Glyph(FT_UInt index);
  const CodePointGlyph& ForCodePoint(char32_t codePoint, bool symbolCharset);

  // What stands for a character no installed font has: the face's missing-glyph shape, or, when that shape is
  // blank (as in Liberation Sans), a hollow box of its advance on the baseline, so the gap is seen.
  const GlyphBitmap& MissingGlyph();

  // The glyph antialiased (FreeType's grey rendering, hinted as the monochrome one is laid out) and its outline
  // (the filled shape grown by strokePx64 / 64 pixels with FreeType's stroker), made on first use. Both are empty
  // for a glyph without an outline (an embedded bitmap), which the caller draws from its monochrome bitmap.
  const GreyGlyph& Grey(FT_UInt index, int strokePx64);

  // The HarfBuzz font of this face and size (positions in 1/64 pixel), made on first use.
  hb_font_t* ShapingFont();

 private:
  FT_Face m_face = nullptr;  // owned by the engine
  // The hinted advance of a glyph at the em-wide size, for a squeezed instance.
  int SquareAdvancePx(FT_UInt index, FT_Int32 loadFlags);

  FT_Size m_size = nullptr;  // owned by the face
  FT_CharMap m_unicodeMap = nullptr;
  bool m_fullUnicodeMap = false;  // m_unicodeMap reaches above U+FFFF
  FT_CharMap m_symbolMap = nullptr;
  FontMetrics m_metrics;
  bool m_squeezed = false;  // drawn 3/4 wide for a 16:9 frame
  FT_Size m_squareSize = nullptr;  // squeezed only: the em-wide size whose advances the pen takes 3/4 of
  hb_font_t* m_shapingFont = nullptr;
  std::optional<GlyphBitmap> m_missingBox;
  std::unordered_map<FT_UInt, GlyphBitmap> m_glyphs;              // by glyph index; nodes never move
  std::unordered_map<uint64_t, GreyGlyph> m_greyGlyphs;           // by stroke (high half) and glyph index
  std::unordered_map<char32_t, CodePointGlyph> m_byCodePoint[2];  // [0] as text, [1] under SYMBOL
};

}  // namespace quillet
