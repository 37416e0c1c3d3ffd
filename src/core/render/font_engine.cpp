// Fonts by face name through fontconfig, monochrome glyphs through FreeType, and line layout with the
// metrics the Windows program measured.
#include "render/font_engine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

#include "base/ascii_text.h"
#include "base/errors.h"
#include "render/charset_decoder.h"

namespace quillet {
namespace {

// units × em ÷ unitsPerEm rounded to nearest, ties to even.
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

struct ResolvedFace {
  std::string file;
  int index = 0;
  std::string family;
  bool syntheticBold = false;
  bool syntheticItalic = false;
};

// One face at one em size and style: its metrics and its glyph cache.
struct Instance {
  FT_Face face = nullptr;  // shared with other instances of the same file
  FT_Size size = nullptr;  // owned by the face
  FT_CharMap unicodeMap = nullptr;
  FT_CharMap symbolMap = nullptr;
  FontMetrics metrics;
  std::unordered_map<FT_UInt, GlyphBitmap> glyphs;  // by glyph index; nodes never move
  // The glyph of a code point: [0] as text, [1] under the SYMBOL charset.
  std::unordered_map<char32_t, const GlyphBitmap*> byCodePoint[2];
};

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

}  // namespace

int EmHeightPx(int sizePt, int dpi) {
  const long long num = static_cast<long long>(sizePt) * dpi;
  long long q = num / 72;
  const long long r = num % 72;
  if (2 * r > 72 || (2 * r == 72 && (q & 1) != 0)) ++q;
  return static_cast<int>(std::max<long long>(1, q));
}

struct FontEngine::Impl {
  FontOptions options;
  FT_Library library = nullptr;
  FcConfig* config = nullptr;
  CharsetDecoder decoder;
  std::map<std::pair<std::string, int>, FT_Face> faces;
  std::map<std::tuple<std::string, bool, bool>, ResolvedFace> resolved;
  std::map<std::tuple<std::string, bool, bool, int>, std::unique_ptr<Instance>> instances;
  // The instance asked for last: consecutive lines nearly always use the same font.
  FontDesc lastFont;
  Instance* lastInstance = nullptr;

  explicit Impl(FontOptions opts) : options(std::move(opts)), decoder(options.defaultCodeset) {
    if (FT_Init_FreeType(&library) != 0) throw QuilletError("The font rasteriser (FreeType) cannot be started.");
    config = FcInitLoadConfigAndFonts();
    if (config == nullptr) {
      FT_Done_FreeType(library);
      throw QuilletError("The font configuration (fontconfig) cannot be loaded.");
    }
  }

  ~Impl() {
    for (auto& [key, face] : faces) FT_Done_Face(face);
    FT_Done_FreeType(library);
    FcConfigDestroy(config);
  }

  const ResolvedFace& Resolve(const std::string& name, bool bold, bool italic) {
    auto key = std::make_tuple(name, bold, italic);
    auto found = resolved.find(key);
    if (found != resolved.end()) return found->second;

    const std::string family = name.empty() || name == "Default" ? "sans-serif" : name;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(bold ? 700 : 400));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* file = nullptr;
    if (match == nullptr || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) {
      if (match != nullptr) FcPatternDestroy(match);
      throw QuilletError("No installed font can stand in for \"" + name + "\".");
    }
    ResolvedFace face;
    face.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &face.index);
    FcChar8* familyFound = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &familyFound) == FcResultMatch) {
      face.family = reinterpret_cast<const char*>(familyFound);
    }
    double weight = FC_WEIGHT_REGULAR;
    int weightInt = 0;
    if (FcPatternGetInteger(match, FC_WEIGHT, 0, &weightInt) == FcResultMatch) {
      weight = weightInt;
    } else {
      FcPatternGetDouble(match, FC_WEIGHT, 0, &weight);
    }
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    FcBool embolden = FcFalse;
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
    // fontconfig marks a slanted stand-in for a missing italic face with a shear matrix (and calls it oblique).
    FcMatrix* matrix = nullptr;
    const bool sheared = FcPatternGetMatrix(match, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix->xy != 0;
    face.syntheticBold = bold && (embolden == FcTrue || weight < FC_WEIGHT_DEMIBOLD);
    face.syntheticItalic = italic && (slant == FC_SLANT_ROMAN || sheared);
    FcPatternDestroy(match);
    return resolved.emplace(std::move(key), std::move(face)).first->second;
  }

  FT_Face OpenFace(const std::string& file, int index) {
    auto key = std::make_pair(file, index);
    auto found = faces.find(key);
    if (found != faces.end()) return found->second;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), index, &face) != 0) {
      throw QuilletError("The font file \"" + file + "\" cannot be opened.");
    }
    faces.emplace(std::move(key), face);
    return face;
  }

  Instance& GetInstance(const FontDesc& font) {
    if (lastInstance != nullptr && font.faceName == lastFont.faceName && font.sizePt == lastFont.sizePt &&
        font.dpi == lastFont.dpi && font.style.bold == lastFont.style.bold &&
        font.style.italic == lastFont.style.italic) {
      return *lastInstance;
    }
    Instance& instance = FindInstance(font);
    lastFont = font;
    lastInstance = &instance;
    return instance;
  }

  Instance& FindInstance(const FontDesc& font) {
    const int em = EmHeightPx(font.sizePt, font.dpi);
    auto key = std::make_tuple(font.faceName, font.style.bold, font.style.italic, em);
    auto found = instances.find(key);
    if (found != instances.end()) return *found->second;

    const ResolvedFace& resolvedFace = Resolve(font.faceName, font.style.bold, font.style.italic);
    auto instance = std::make_unique<Instance>();
    instance->face = OpenFace(resolvedFace.file, resolvedFace.index);
    FT_Face face = instance->face;
    if (FT_New_Size(face, &instance->size) != 0 || FT_Activate_Size(instance->size) != 0 ||
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0) {
      throw QuilletError("The font \"" + resolvedFace.file + "\" cannot be drawn at " + std::to_string(em) +
                         " pixels.");
    }
    for (int i = 0; i < face->num_charmaps; ++i) {
      FT_CharMap map = face->charmaps[i];
      if (map->encoding == FT_ENCODING_UNICODE && instance->unicodeMap == nullptr) instance->unicodeMap = map;
      if (map->encoding == FT_ENCODING_MS_SYMBOL && instance->symbolMap == nullptr) instance->symbolMap = map;
    }
    instance->metrics = MeasureFace(face, em);
    instance->metrics.family = resolvedFace.family;
    instance->metrics.file = resolvedFace.file;
    instance->metrics.syntheticBold = resolvedFace.syntheticBold;
    instance->metrics.syntheticItalic = resolvedFace.syntheticItalic;
    return *instances.emplace(std::move(key), std::move(instance)).first->second;
  }

  // The glyph for a code point. Under SYMBOL, a symbol font is asked for 0xF000 + byte first; a font with no
  // Unicode map at all is read the same way whatever the charset.
  FT_UInt GlyphIndex(Instance& instance, char32_t codePoint, bool symbolCharset) {
    FT_Face face = instance.face;
    if (instance.symbolMap != nullptr && (symbolCharset || instance.unicodeMap == nullptr) && codePoint <= 0xFF) {
      FT_Set_Charmap(face, instance.symbolMap);
      FT_UInt index = FT_Get_Char_Index(face, 0xF000 + codePoint);
      if (index == 0) index = FT_Get_Char_Index(face, codePoint);
      if (index != 0) return index;
    }
    if (instance.unicodeMap == nullptr) return 0;
    FT_Set_Charmap(face, instance.unicodeMap);
    return FT_Get_Char_Index(face, codePoint);
  }

  const GlyphBitmap& GlyphFor(Instance& instance, char32_t codePoint, bool symbolCharset) {
    auto& cache = instance.byCodePoint[symbolCharset ? 1 : 0];
    auto found = cache.find(codePoint);
    if (found != cache.end()) return *found->second;
    const GlyphBitmap& glyph = Glyph(instance, GlyphIndex(instance, codePoint, symbolCharset));
    cache.emplace(codePoint, &glyph);
    return glyph;
  }

  const GlyphBitmap& Glyph(Instance& instance, FT_UInt index) {
    auto found = instance.glyphs.find(index);
    if (found != instance.glyphs.end()) return found->second;

    GlyphBitmap glyph;
    FT_Face face = instance.face;
    FT_Activate_Size(instance.size);
    const bool synthetic = instance.metrics.syntheticBold || instance.metrics.syntheticItalic;
    FT_Int32 flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;
    if (synthetic) flags |= FT_LOAD_NO_BITMAP;  // emboldening and slanting work on outlines
    if (FT_Load_Glyph(face, index, flags) == 0) {
      FT_GlyphSlot slot = face->glyph;
      if (instance.metrics.syntheticBold) FT_GlyphSlot_Embolden(slot);
      if (instance.metrics.syntheticItalic) FT_GlyphSlot_Oblique(slot);
      glyph.advancePx = static_cast<int>((slot->metrics.horiAdvance + 32) >> 6);
      if (slot->format == FT_GLYPH_FORMAT_BITMAP || FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
        TakeBitmap(slot, glyph);
      }
    }
    return instance.glyphs.emplace(index, std::move(glyph)).first->second;
  }
};

FontEngine::FontEngine(FontOptions options) : m_impl(std::make_unique<Impl>(std::move(options))) {}

FontEngine::~FontEngine() = default;

std::unique_ptr<FontEngine> FontEngine::Clone() const { return std::make_unique<FontEngine>(m_impl->options); }

const FontOptions& FontEngine::Options() const { return m_impl->options; }

std::vector<std::string> FontEngine::FontNameList() {
  std::set<std::string> families{"Default"};
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(m_impl->config, pattern, objects);
  if (fonts != nullptr) {
    for (int i = 0; i < fonts->nfont; ++i) {
      FcChar8* family = nullptr;
      if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family[0] != 0) {
        families.insert(reinterpret_cast<const char*>(family));
      }
    }
    FcFontSetDestroy(fonts);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);

  std::vector<std::string> sorted(families.begin(), families.end());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const std::string& a, const std::string& b) { return AsciiLower(a) < AsciiLower(b); });
  std::vector<std::string> names{"Arial"};
  names.insert(names.end(), sorted.begin(), sorted.end());
  return names;
}

const FontMetrics& FontEngine::Metrics(const FontDesc& font) { return m_impl->GetInstance(font).metrics; }

LineLayout FontEngine::LayoutLine(const FontDesc& font, std::string_view bytes) {
  Instance& instance = m_impl->GetInstance(font);
  const FontMetrics& metrics = instance.metrics;
  const std::u32string text = m_impl->decoder.Decode(bytes, font.charset);
  const bool symbol = font.charset == kCharsetSymbol;

  LineLayout layout;
  layout.heightPx = metrics.heightPx;
  layout.ascentPx = metrics.ascentPx;
  layout.glyphs.reserve(text.size());
  int pen = 0;
  for (char32_t codePoint : text) {
    const GlyphBitmap& glyph = m_impl->GlyphFor(instance, codePoint, symbol);
    if (glyph.width > 0) layout.glyphs.push_back({pen + glyph.left, metrics.ascentPx - glyph.top, &glyph});
    pen += glyph.advancePx;
  }
  layout.widthPx = pen;
  if (pen > 0 && font.style.underline) layout.rules.push_back({0, metrics.underlineTopPx, pen, metrics.underlineRows});
  if (pen > 0 && font.style.strikeout) layout.rules.push_back({0, metrics.strikeoutTopPx, pen, metrics.strikeoutRows});
  return layout;
}

std::u32string FontEngine::Decode(std::string_view bytes, uint8_t charset) {
  return m_impl->decoder.Decode(bytes, charset);
}

}  // namespace quillet
