// Fonts by face name through fontconfig, monochrome glyphs through FreeType, and line layout with the
// metrics the Windows program measured.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_style.h"
#include "render/bidi_runs.h"
#include "render/font_config.h"
#include "render/frame.h"
#include "render/name_tables.h"

namespace quillet {

class FontInstance;

// A font as the settings describe it.
struct FontDesc {
  std::string faceName = "Arial";  // a family name; "Default" (or empty) is fontconfig's default sans
  int sizePt = 20;
  uint8_t charset = kCharsetDefault;
  // The text drawn with this font is UTF-8 read from a UTF-16 subtitle file: it is decoded as Unicode and the
  // charset gives it no other meaning.
  bool unicodeText = false;
  StyleSet style;
  int dpi = 96;  // 96 headless; the screen's logical pixels per inch in the window
  // Wide16x9 draws every glyph, and its advance, at 3/4 of its width (the font's own hinting at that width);
  // heights and the text cell stay. The render settings carry the frame's aspect here, so that measuring, the
  // line length check and breaking long lines all see the squeezed widths.
  DisplayAspect aspect = DisplayAspect::Standard4x3;
  // The paragraph direction of each line laid out.
  BaseDirection direction = BaseDirection::Auto;
  bool operator==(const FontDesc&) const = default;
};

// The em height in pixels: size × dpi ÷ 72 rounded to nearest, ties to even (size 20 at 96 dpi gives 27).
int EmHeightPx(int sizePt, int dpi);

// How a font description was resolved and measured.
struct FontMetrics {
  int emPx = 0;
  int ascentPx = 0;   // from the font's Windows ascent (usWinAscent), scaled to the em
  int descentPx = 0;  // from usWinDescent
  int heightPx = 0;   // the text cell: ascent + descent
  // Rows of the underline and strikeout, counted from the top of the text cell.
  int underlineTopPx = 0;
  int underlineRows = 1;
  int strikeoutTopPx = 0;
  int strikeoutRows = 1;
  std::string family;  // the family fontconfig chose
  std::string file;
  bool syntheticBold = false;    // no bold face exists: glyphs are emboldened
  bool syntheticItalic = false;  // no italic face exists: glyphs are slanted
};

// One monochrome glyph. Pixel (i, j) of the bitmap lies at pen x + left + i, baseline − top + j.
struct GlyphBitmap {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int advancePx = 0;            // hinted advance, whole pixels
  // What the pen moves by, in 1/64 pixel: advancePx × 64; squeezed for 16:9, 3/4 of the square size's hinted
  // advance, so that a line's glyphs stand at 3/4 of their places on a 4:3 frame and its width is 3/4 of that.
  int advance64 = 0;
  std::vector<uint8_t> pixels;  // width × height, 1 = ink, top row first
  int wordsPerRow = 0;          // the same pixels packed: bit i of word k is pixel 64k + i
  std::vector<uint64_t> bits;
  // The face and size that drew it and its glyph index there (for drawing it antialiased); none for a shape made
  // up in code (the hollow box of a missing character).
  FontInstance* source = nullptr;
  uint32_t index = 0;
};

// A glyph bitmap placed in a line; x, y of its top-left pixel relative to the top-left of the text cell.
struct PlacedGlyph {
  int x = 0;
  int y = 0;
  const GlyphBitmap* glyph = nullptr;  // owned by the engine's glyph cache, valid while the engine lives
  int cluster = 0;                     // the first code point it draws, counted from 0 in the decoded line
};

// A filled rectangle of ink (underline, strikeout), relative to the top-left of the text cell.
struct InkRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Glyphs whose pen position lies beyond this are not placed: no frame shows them, and a line that long is refused
// as too wide anyway. The width still counts them all.
constexpr int kLaidOutWidthPx = 1 << 20;

// One line of text laid out as drawing it at the cell's top-left corner would paint it.
struct LineLayout {
  // Sum of the advances, no kerning; a line of many megabytes stops at INT_MAX instead of overflowing.
  int widthPx = 0;
  int heightPx = 0;  // the text cell height, ascent + descent
  int ascentPx = 0;
  std::vector<PlacedGlyph> glyphs;  // glyphs with ink only
  std::vector<InkRect> rules;       // underline and strikeout across the whole advance width
  std::u32string missing;           // characters no installed font has, each once, in line order
  std::u32string controls;          // control characters left out of the line (a tab is a space), each once
};

// What every engine made from these options does alike.
struct FontOptions {
  FontOptions() = default;
  explicit FontOptions(std::string codeset, std::shared_ptr<const FontConfig> config = nullptr)
      : defaultCodeset(std::move(codeset)), fontConfig(std::move(config)) {}

  // The user's own code page for the DEFAULT charset; empty means the locale's (see UserCodeset).
  std::string defaultCodeset;
  // The font configuration the engines share; an engine made without one loads it and keeps it in its options,
  // so the engines made from its Options() share it.
  std::shared_ptr<const FontConfig> fontConfig;
};

// The options with a font configuration: theirs, or one loaded now that the engines made from them share.
FontOptions WithFontConfig(FontOptions options);

// Owns a FreeType library, the faces and sizes opened, a glyph cache per face, size and style, the stand-in face of
// every code point the chosen faces lack, and the charset decoders; shares a fontconfig configuration. No global
// state.
//
// Not thread-safe: one engine belongs to one thread at a time. Worker threads that render entries each use
// their own engine, made from the same options (FontEnginePerThread in font_engine_pool.h); engines made
// from the same options resolve the same fonts and give identical pixels. Pointers into the glyph cache (PlacedGlyph)
// are valid until the engine is destroyed and must not be used with another engine.
class FontEngine {
 public:
  explicit FontEngine(FontOptions options = {});
  ~FontEngine();
  FontEngine(const FontEngine&) = delete;
  FontEngine& operator=(const FontEngine&) = delete;

  const FontOptions& Options() const;

  // "Arial", then the first family name of every installed scalable font, duplicates removed, with the
  // pseudo-entry "Default" among them, sorted case-insensitively ("Arial" is therefore usually listed twice).
  std::vector<std::string> FontNameList();

  // Resolves the font (fontconfig, weight 700 or 400, italic or roman) and measures it.
  // Throws QuilletError when the file fontconfig chose cannot be opened at that size.
  const FontMetrics& Metrics(const FontDesc& font);

  // Decodes the bytes by the font's charset and lays the line out: glyphs left to right as they appear, right-to-
  // left runs in visual order, letters joined as their script wants, characters the chosen face lacks drawn
  // with the best installed face that has them. A tab is a space; other control characters (C0, DEL, C1, and
  // so the bytes a code page leaves undefined) are left out and listed. Measuring, the line length check and
  // drawing all use it, so what is measured is what is drawn.
  LineLayout LayoutLine(const FontDesc& font, std::string_view bytes);
  // The same with the bytes of `runs` in their own styles on top of the font's (bold + italic run = bold italic):
  // each drawn from the family's face of that style (slanted or emboldened when it has none); direction, shaping
  // and stand-in faces work across the runs, and underlined runs get the font's underline under their advances.
  // The baseline and cell height stay the font's own. A line wholly in one run is the line in that style.
  LineLayout LayoutLine(const FontDesc& font, std::string_view bytes, const StyleRuns& runs);

  // The code points of text drawn with the font: UTF-8 when the font says unicodeText, else by its charset.
  std::u32string DecodeText(const FontDesc& font, std::string_view bytes);

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace quillet
