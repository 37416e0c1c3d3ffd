// One face at one em size and style: its Windows metrics, its monochrome glyphs and its shaping font.
#include "render/font_instance.h"

#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <hb-ft.h>
#include <hb.h>

#include <algorithm>

#include "base/errors.h"
#include "render/code_point_class.h"

namespace quillet {

int ScaleRound(long units, int em, int unitsPerEm) {
  if (unitsPerEm <= 0) return 0;
  const long long num = static_cast<long long>(units) * em;
  long long q = num / unitsPerEm;
  long long r = num % unitsPerEm;
  if (r < 0) {
    r += unitsPerEm;
    --q;
  }
  if (2 * r > unitsPerEm || (2 * r == unitsPerEm && (q & 1) != 0)) ++q;
  return static_cast<int>(q);
}

namespace {

// Reads the face's Windows metrics for an em size.
FontMetrics MeasureFace(FT_Face face, int em) {
  FontMetrics m;
  m.emPx = em;
  const int upem = face->units_per_EM;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));

  long ascentUnits = face->ascender;
  long descentUnits = -face->descender;
  if (os2 != nullptr && os2->version != 0xFFFF && (os2->usWinAscent != 0 || os2->usWinDescent != 0)) {
    ascentUnits = os2->usWinAscent;
    descentUnits = os2->usWinDescent;
  } else if (hhea != nullptr) {
    ascentUnits = hhea->Ascender;
    descentUnits = -hhea->Descender;
  }
  m.ascentPx = ScaleRound(ascentUnits, em, upem);
  m.descentPx = ScaleRound(descentUnits, em, upem);
  m.heightPx = m.ascentPx + m.descentPx;

  // The post table gives the top of the underline stroke relative to the baseline (negative below it).
  long underlineTop =
      post != nullptr ? post->underlinePosition : face->underline_position + face->underline_thickness / 2;
  long underlineThickness = post != nullptr ? post->underlineThickness : face->underline_thickness;
  if (underlineThickness <= 0) underlineThickness = upem / 20;
  m.underlineTopPx = m.ascentPx - ScaleRound(underlineTop, em, upem);
  m.underlineRows = std::max(1, ScaleRound(underlineThickness, em, upem));

  // OS/2 gives the top of the strikeout stroke above the baseline.
  long strikeTop = ascentUnits / 3;
  long strikeSize = underlineThickness;
  if (os2 != nullptr && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    strikeTop = os2->yStrikeoutPosition;
    strikeSize = os2->yStrikeoutSize;
  }
  m.strikeoutTopPx = m.ascentPx - ScaleRound(strikeTop, em, upem);
  m.strikeoutRows = std::max(1, ScaleRound(strikeSize, em, upem));
  return m;
}

// Copies the slot's bitmap (monochrome, or grey thresholded at half) into a glyph.
void TakeBitmap(const FT_GlyphSlot slot, GlyphBitmap& g) {
  const FT_Bitmap& bitmap = slot->bitmap;
  const int width = static_cast<int>(bitmap.width);
  const int height = static_cast<int>(bitmap.rows);
  if (width <= 0 || height <= 0 || bitmap.buffer == nullptr) return;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;

  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  g.width = width;
  g.height = height;
  g.pixels.assign(static_cast<std::size_t>(width) * height, 0);
  g.wordsPerRow = (width + 63) / 64;
  g.bits.assign(static_cast<std::size_t>(g.wordsPerRow) * height, 0);
  bool anyInk = false;
  for (int j = 0; j < height; ++j) {
    const int pitch = bitmap.pitch;
    const unsigned char* row = pitch >= 0 ? bitmap.buffer + static_cast<std::ptrdiff_t>(j) * pitch
                                          : bitmap.buffer + static_cast<std::ptrdiff_t>(height - 1 - j) * -pitch;
    for (int i = 0; i < width; ++i) {
      const bool ink = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[i >> 3] & (0x80 >> (i & 7))) != 0 : row[i] >= 128;
      if (!ink) continue;
      anyInk = true;
      g.pixels[static_cast<std::size_t>(j) * width + i] = 1;
      g.bits[static_cast<std::size_t>(j) * g.wordsPerRow + (i >> 6)] |= uint64_t{1} << (i & 63);
    }
  }
  if (!anyInk) {
    g.width = g.height = g.wordsPerRow = 0;
    g.pixels.clear();
    g.bits.clear();
  }
}

// The 26.6 width of the size's em: 3/4 of the em for a 16:9 frame (the font's scale, not a resampled picture).
FT_Long EmWidth26Dot6(int em, bool squeezed) { return squeezed ? FT_Long{em} * 48 : FT_Long{em} * 64; }

}  // namespace

FontInstance::FontInstance(FT_Face face, const ResolvedFace& resolved, int em, DisplayAspect aspect)
    : m_face(face), m_squeezed(aspect == DisplayAspect::Wide16x9) {
  FT_Size_RequestRec squeezed{FT_SIZE_REQUEST_TYPE_NOMINAL, EmWidth26Dot6(em, true), FT_Long{em} * 64, 0, 0};
  if (FT_New_Size(face, &m_size) != 0 || FT_Activate_Size(m_size) != 0 ||
      (m_squeezed ? FT_Request_Size(face, &squeezed) : FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em))) != 0) {
    throw QuilletError("The font \"" + resolved.file + "\" cannot be drawn at " + std::to_string(em) + " pixels.");
  }
  if (m_squeezed && (FT_New_Size(face, &m_squareSize) != 0 || FT_Activate_Size(m_squareSize) != 0 ||
                     FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0 || FT_Activate_Size(m_size) != 0)) {
    throw QuilletError("The font \"" + resolved.file + "\" cannot be drawn at " + std::to_string(em) + " pixels.");
  }
  // A face with characters above U+FFFF lists them only in its full Unicode map (Windows encoding 10, Unicode
  // encodings 4 and 6); its 16-bit map, often listed first, would leave every emoji and mathematical letter
  // missing. The full map holds the same glyphs for the characters the 16-bit one has.
  for (int i = 0; i < face->num_charmaps; ++i) {
    FT_CharMap map = face->charmaps[i];
    const bool full = (map->platform_id == 3 && map->encoding_id == 10) ||
                      (map->platform_id == 0 && (map->encoding_id == 4 || map->encoding_id == 6));
    if (map->encoding == FT_ENCODING_UNICODE && (m_unicodeMap == nullptr || (full && !m_fullUnicodeMap))) {
      m_unicodeMap = map;
      m_fullUnicodeMap = full;
    }
    if (map->encoding == FT_ENCODING_MS_SYMBOL && m_symbolMap == nullptr) m_symbolMap = map;
  }
  m_metrics = MeasureFace(face, em);
  m_metrics.family = resolved.family;
  m_metrics.file = resolved.file;
  m_metrics.syntheticBold = resolved.syntheticBold;
  m_metrics.syntheticItalic = resolved.syntheticItalic;
}

FontInstance::~FontInstance() {
  if (m_shapingFont != nullptr) hb_font_destroy(m_shapingFont);
  // The size belongs to the face, which the engine closes.
}

FT_UInt FontInstance::GlyphIndex(char32_t codePoint, bool symbolCharset) {
  if (m_symbolMap != nullptr && (symbolCharset || m_unicodeMap == nullptr) && codePoint <= 0xFF) {
    FT_Set_Charmap(m_face, m_symbolMap);
    FT_UInt index = FT_Get_Char_Index(m_face, 0xF000 + codePoint);
    if (index == 0) index = FT_Get_Char_Index(m_face, codePoint);
    if (index != 0) return index;
  }
  if (m_unicodeMap == nullptr) return 0;
  FT_Set_Charmap(m_face, m_unicodeMap);
  return FT_Get_Char_Index(m_face, codePoint);
}

const CodePointGlyph& FontInstance::ForCodePoint(char32_t codePoint, bool symbolCharset) {
  auto& cache = m_byCodePoint[symbolCharset ? 1 : 0];
  auto found = cache.find(codePoint);
  if (found != cache.end()) return found->second;
  const FT_UInt index = GlyphIndex(codePoint, symbolCharset);
  CodePointGlyph entry;
  entry.glyph = &Glyph(index);
  entry.plain = symbolCharset || IsControlCharacter(codePoint) || (index != 0 && !NeedsShaping(codePoint));
  return cache.emplace(codePoint, entry).first->second;
}

const GlyphBitmap& FontInstance::Glyph(FT_UInt index) {
  auto found = m_glyphs.find(index);
  if (found != m_glyphs.end()) return found->second;

  GlyphBitmap glyph;
  glyph.source = this;
  glyph.index = index;
  FT_Activate_Size(m_size);
  const bool synthetic = m_metrics.syntheticBold || m_metrics.syntheticItalic;
  FT_Int32 flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;
  if (synthetic) flags |= FT_LOAD_NO_BITMAP;  // emboldening and slanting work on outlines
  // An embedded bitmap has the square size's width.
  if (m_squeezed) glyph.advance64 = 48 * SquareAdvancePx(index, flags);
  if (FT_Load_Glyph(m_face, index, m_squeezed ? flags | FT_LOAD_NO_BITMAP : flags) == 0) {
    FT_GlyphSlot slot = m_face->glyph;
    if (m_metrics.syntheticBold) FT_GlyphSlot_Embolden(slot);
    if (m_metrics.syntheticItalic) FT_GlyphSlot_Oblique(slot);
    glyph.advancePx = static_cast<int>((slot->metrics.horiAdvance + 32) >> 6);
    if (!m_squeezed) glyph.advance64 = 64 * glyph.advancePx;
    if (slot->format == FT_GLYPH_FORMAT_BITMAP || FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
      TakeBitmap(slot, glyph);
    }
  }
  return m_glyphs.emplace(index, std::move(glyph)).first->second;
}

int FontInstance::SquareAdvancePx(FT_UInt index, FT_Int32 loadFlags) {
  int advance = 0;
  FT_Activate_Size(m_squareSize);
  if (FT_Load_Glyph(m_face, index, loadFlags) == 0) {
    if (m_metrics.syntheticBold) FT_GlyphSlot_Embolden(m_face->glyph);
    advance = static_cast<int>((m_face->glyph->metrics.horiAdvance + 32) >> 6);
  }
  FT_Activate_Size(m_size);
  return advance;
}

const GlyphBitmap& FontInstance::MissingGlyph() {
  const GlyphBitmap& notdef = Glyph(0);
  if (notdef.width > 0) return notdef;
  if (m_missingBox) return *m_missingBox;
  const int em = m_metrics.emPx;
  GlyphBitmap box;
  box.advance64 = notdef.advance64 > 0 ? notdef.advance64 : (m_squeezed ? 48 : 64) * ((em + 1) / 2);
  box.advancePx = (box.advance64 + 32) >> 6;
  const int stroke = std::max(1, em / 14);
  box.left = std::max(1, box.advancePx / 8);
  box.width = std::max(2 * stroke + 1, box.advancePx - 2 * box.left);
  box.height = std::max(2 * stroke + 1, std::min(m_metrics.ascentPx, (em * 7 + 5) / 10));
  box.top = box.height;  // standing on the baseline
  box.wordsPerRow = (box.width + 63) / 64;
  box.pixels.assign(static_cast<std::size_t>(box.width) * box.height, 0);
  box.bits.assign(static_cast<std::size_t>(box.wordsPerRow) * box.height, 0);
  for (int j = 0; j < box.height; ++j) {
    for (int i = 0; i < box.width; ++i) {
      const bool edge = i < stroke || j < stroke || i >= box.width - stroke || j >= box.height - stroke;
      if (!edge) continue;
      box.pixels[static_cast<std::size_t>(j) * box.width + i] = 1;
      box.bits[static_cast<std::size_t>(j) * box.wordsPerRow + (i >> 6)] |= uint64_t{1} << (i & 63);
    }
  }
  m_missingBox = std::move(box);
  return *m_missingBox;
}

hb_font_t* FontInstance::ShapingFont() {
  if (m_shapingFont != nullptr) return m_shapingFont;
  // The tables are read through FreeType; positions come from HarfBuzz's own OpenType code, unhinted, in
  // 1/64 pixel. The line layout takes each glyph's advance from its hinted bitmap and only the adjustments
  // (mark positions, zeroed mark advances) from HarfBuzz.
  hb_face_t* face = hb_ft_face_create_referenced(m_face);
  m_shapingFont = hb_font_create(face);
  hb_face_destroy(face);
  const int em = m_metrics.emPx;
  hb_font_set_scale(m_shapingFont, static_cast<int>(EmWidth26Dot6(em, m_squeezed)), em * 64);
  hb_font_set_ppem(m_shapingFont, static_cast<unsigned>(m_squeezed ? (3 * em + 2) / 4 : em), static_cast<unsigned>(em));
  return m_shapingFont;
}

}  // namespace quillet
