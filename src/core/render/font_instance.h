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
  std::unordered_map<char32_t, CodePointGlyph> m_byCodePoint[2];  // [0] as text, [1] under SYMBOL
};

}  // namespace quillet
