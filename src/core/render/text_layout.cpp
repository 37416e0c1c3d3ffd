// Laying one line out: its bytes decoded by the charset, then either glyph after glyph in the chosen face (the
// common case), or through direction runs, stand-in faces and shaping.
#include <hb.h>

#include <algorithm>
#include <climits>
#include <optional>

#include "render/bidi_runs.h"
#include "render/code_point_class.h"
#include "render/font_engine_impl.h"

namespace quillet {
namespace {

// 1/64 pixel to whole pixels, to nearest.
int RoundPx(hb_position_t v) { return static_cast<int>((v + 32) >> 6); }

// The pen (1/64 pixel, summed in 64 bits) in whole pixels, to nearest.
long long PenPx(long long pen64) { return (pen64 + 32) >> 6; }

// The pen as a width: a line of megabytes cannot wrap round to a negative width.
int WidthOfPen(long long pen64) { return static_cast<int>(std::clamp<long long>(PenPx(pen64), INT_MIN, INT_MAX)); }

// Underlines the advance from x to x + width (a run's underline), joining the rule it continues.
void UnderlineSpan(LineLayout& layout, const FontMetrics& metrics, long long x, int width) {
  if (width <= 0 || x < 0 || x >= kLaidOutWidthPx) return;
  const int left = static_cast<int>(x);
  if (!layout.rules.empty()) {
    InkRect& last = layout.rules.back();
    if (last.y == metrics.underlineTopPx && last.x + last.width == left) {
      last.width += width;
      return;
    }
  }
  layout.rules.push_back({left, metrics.underlineTopPx, width, metrics.underlineRows});
}

void AddRules(LineLayout& layout, const FontMetrics& metrics, const StyleSet& style) {
  const int width = std::min(layout.widthPx, kLaidOutWidthPx);
  if (width > 0 && style.underline) layout.rules.push_back({0, metrics.underlineTopPx, width, metrics.underlineRows});
  if (width > 0 && style.strikeout) layout.rules.push_back({0, metrics.strikeoutTopPx, width, metrics.strikeoutRows});
}

// A stretch of the line with one direction, one face and one script: what HarfBuzz shapes in one call.
struct Run {
  int start = 0;
  int end = 0;
  uint8_t level = 0;
  FontInstance* face = nullptr;
  hb_script_t script = HB_SCRIPT_COMMON;
};

// Each code point's script, punctuation, digits and marks taking the script of the letters before them (or,
// at the start of the line, after them), so that they shape with their neighbours.
std::vector<hb_script_t> ResolvedScripts(const std::u32string& text) {
  std::vector<hb_script_t> scripts(text.size(), HB_SCRIPT_COMMON);
  hb_script_t last = HB_SCRIPT_INVALID;
  std::size_t firstReal = text.size();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const hb_script_t script = ScriptOf(text[i]);
    if (script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED && script != HB_SCRIPT_UNKNOWN) {
      last = script;
      if (firstReal == text.size()) firstReal = i;
    }
    scripts[i] = last;
  }
  const hb_script_t leading = firstReal < text.size() ? scripts[firstReal] : HB_SCRIPT_COMMON;
  for (std::size_t i = 0; i < std::min(firstReal, text.size()); ++i) scripts[i] = leading;
  return scripts;
}

// Turns tabs into spaces and takes the other control characters out of the text; returns those, each once.
// In a symbol font the bytes 7F to 9F are pictures, not controls.
std::u32string TakeOutControls(std::u32string& text, bool symbol, std::vector<uint8_t>* styles = nullptr) {
  auto control = [symbol](char32_t c) { return symbol ? c < 0x20 : IsControlCharacter(c); };
  std::u32string controls;
  // Nearly every line has none: one plain pass over the text decides.
  bool any = false;
  for (char32_t c : text) any |= c < 0xA0 && (c < 0x20 || c >= 0x7F);
  if (!any) return controls;
  std::u32string kept;
  std::vector<uint8_t> keptStyles;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c == U'\t' || !control(c)) {
      kept.push_back(c == U'\t' ? U' ' : c);
      if (styles != nullptr) keptStyles.push_back((*styles)[i]);
    } else if (controls.find(c) == std::u32string::npos) {
      controls.push_back(c);
    }
  }
  text = std::move(kept);
  if (styles != nullptr) *styles = std::move(keptStyles);
  return controls;
}

}  // namespace

LineLayout FontEngine::LayoutLine(const FontDesc& font, std::string_view bytes) {
  FontInstance& primary = m_impl->Primary(font);
  std::u32string text = DecodeText(font, bytes);
  std::u32string controls = TakeOutControls(text, font.charset == kCharsetSymbol && !font.unicodeText);
  // A right-to-left base puts a left-to-right line's neutral characters at its ends on the other side.
  std::optional<LineLayout> plain =
      font.direction == BaseDirection::Rtl ? std::nullopt : m_impl->LayoutPlain(primary, font, text);
  LineLayout layout = plain ? std::move(*plain) : m_impl->LayoutShaped(primary, font, text);
  layout.controls = std::move(controls);
  return layout;
}

namespace {

uint8_t StyleBits(StyleFlags flags) {
  return static_cast<uint8_t>((flags.italic ? 1 : 0) | (flags.bold ? 2 : 0) | (flags.underline ? 4 : 0));
}

// The font with a run's styles added.
FontDesc Styled(FontDesc font, uint8_t bits) {
  font.style.italic = font.style.italic || (bits & 1) != 0;
  font.style.bold = font.style.bold || (bits & 2) != 0;
  return font;
}

}  // namespace

LineLayout FontEngine::LayoutLine(const FontDesc& font, std::string_view bytes, const StyleRuns& runs) {
  if (runs.empty()) return LayoutLine(font, bytes);
  if (runs.size() == 1 && runs[0].begin == 0 && runs[0].end >= bytes.size()) {
    FontDesc whole = Styled(font, StyleBits(runs[0].flags));
    whole.style.underline = whole.style.underline || runs[0].flags.underline;
    return LayoutLine(whole, bytes);
  }
  // Markup lies between characters, so each stretch decodes on its own.
  StyledCharacters styled;
  std::u32string text;
  auto decode = [&](std::size_t begin, std::size_t end, uint8_t bits) {
    if (begin >= end || begin >= bytes.size()) return;
    const std::u32string part = DecodeText(font, bytes.substr(begin, end - begin));
    text += part;
    styled.bits.insert(styled.bits.end(), part.size(), bits);
  };
  std::size_t at = 0;
  for (const StyleRun& run : runs) {
    decode(at, run.begin, 0);
    decode(run.begin, run.end, StyleBits(run.flags));
    at = std::max(at, run.end);
  }
  decode(at, bytes.size(), 0);
  for (uint8_t bits = 0; bits < 8; ++bits) styled.fonts[bits] = Styled(font, bits);
  std::u32string controls = TakeOutControls(text, font.charset == kCharsetSymbol && !font.unicodeText, &styled.bits);
  FontInstance& primary = m_impl->Primary(font);
  styled.faces[0] = &primary;
  for (uint8_t bits : styled.bits) {
    if (styled.faces[bits] == nullptr) styled.faces[bits] = &m_impl->Primary(styled.fonts[bits]);
  }
  std::optional<LineLayout> plain = m_impl->LayoutPlain(primary, font, text, &styled);
  LineLayout layout = plain ? std::move(*plain) : m_impl->LayoutShaped(primary, font, text, &styled);
  layout.controls = std::move(controls);
  return layout;
}

// Glyph after glyph at the pen, each advancing it by its hinted advance: exactly the drawing of a line whose
// characters the chosen face all has and that needs no shaping. Nothing for any other line.
std::optional<LineLayout> FontEngine::Impl::LayoutPlain(FontInstance& primary, const FontDesc& font,
                                                        const std::u32string& text, StyledCharacters* styled) {
  const FontMetrics& metrics = primary.Metrics();
  const bool symbol = font.charset == kCharsetSymbol && !font.unicodeText;
  LineLayout layout;
  layout.glyphs.reserve(std::min<std::size_t>(text.size(), 4096));
  long long pen = 0;  // 1/64 pixel
  for (std::size_t i = 0; i < text.size(); ++i) {
    FontInstance& face = styled == nullptr ? primary : *styled->faces[styled->bits[i]];
    const CodePointGlyph& entry = face.ForCodePoint(text[i], symbol);
    if (!entry.plain) return std::nullopt;
    const GlyphBitmap& glyph = *entry.glyph;
    if (glyph.width > 0 && PenPx(pen) <= kLaidOutWidthPx) {
      layout.glyphs.push_back(
          {static_cast<int>(PenPx(pen)) + glyph.left, metrics.ascentPx - glyph.top, &glyph, static_cast<int>(i)});
    }
    if (styled != nullptr && (styled->bits[i] & 4) != 0) {
      UnderlineSpan(layout, metrics, PenPx(pen), static_cast<int>(PenPx(pen + glyph.advance64) - PenPx(pen)));
    }
    pen += glyph.advance64;
  }
  layout.widthPx = WidthOfPen(pen);
  layout.heightPx = metrics.heightPx;
  layout.ascentPx = metrics.ascentPx;
  AddRules(layout, metrics, font.style);
  return layout;
}

namespace {

// Step 1: the face of each character (see below); characters no installed font has are added to `missing`.
template <class StandInFor>
std::vector<FontInstance*> FacesOfCharacters(FontInstance& chosen, const std::u32string& text, StandInFor standIn,
                                             std::u32string& missing, const StyledCharacters* styled) {
  std::vector<FontInstance*> faces(text.size(), &chosen);
  for (std::size_t i = 0; i < text.size(); ++i) {
    FontInstance& primary = styled == nullptr ? chosen : *styled->faces[styled->bits[i]];
    faces[i] = &primary;
    const char32_t c = text[i];
    if (IsControlCharacter(c)) continue;
    const hb_script_t script = ScriptOf(c);
    const bool sameStyle = styled == nullptr || (i > 0 && styled->bits[i] == styled->bits[i - 1]);
    const bool follows = i > 0 && sameStyle && (script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED);
    FontInstance* face = nullptr;
    if (follows && faces[i - 1]->Covers(c)) {
      face = faces[i - 1];
    } else if (primary.Covers(c)) {
      face = &primary;
    } else {
      face = standIn(c, i);
    }
    if (face == nullptr) {
      face = &primary;
      if (!IsDefaultIgnorable(c) && missing.find(c) == std::u32string::npos) missing.push_back(c);
    }
    faces[i] = face;
  }
  return faces;
}

// Step 3's runs in logical order: the longest stretches of one embedding level, face and script.
std::vector<Run> RunsOfOneLevelFaceAndScript(const std::u32string& text, const std::vector<FontInstance*>& faces,
                                             BaseDirection direction) {
  const BidiLevels bidi = ResolveBidiLevels(text, direction);
  const std::vector<hb_script_t> scripts = ResolvedScripts(text);
  std::vector<Run> runs;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (runs.empty() || runs.back().level != bidi.levels[k] || runs.back().face != faces[k] ||
        runs.back().script != scripts[k]) {
      runs.push_back({static_cast<int>(k), static_cast<int>(k), bidi.levels[k], faces[k], scripts[k]});
    }
    runs.back().end = static_cast<int>(k) + 1;
  }
  return runs;
}

// Steps 3 and 4 for one run: shapes it with the whole line as context and places its glyphs from `pen` on,
// which it moves past the run.
void ShapeAndPlaceRun(hb_buffer_t* buffer, const Run& run, const std::u32string& text, hb_language_t language,
                      const FontMetrics& metrics, long long& pen, LineLayout& layout, const StyledCharacters* styled) {
  hb_font_t* hbFont = run.face->ShapingFont();
  hb_buffer_clear_contents(buffer);
  hb_buffer_add_utf32(buffer, reinterpret_cast<const uint32_t*>(text.data()), static_cast<int>(text.size()),
                      static_cast<unsigned>(run.start), run.end - run.start);
  hb_buffer_set_direction(buffer, run.level % 2 == 1 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
  hb_buffer_set_script(buffer, run.script);
  if (language != HB_LANGUAGE_INVALID) hb_buffer_set_language(buffer, language);
  hb_buffer_guess_segment_properties(buffer);
  const bool plainScript = IsPlainScript(run.script);
  const hb_feature_t features[] = {{HB_TAG('k', 'e', 'r', 'n'), 0, 0, ~0u},
                                   {HB_TAG('l', 'i', 'g', 'a'), 0, 0, ~0u},
                                   {HB_TAG('c', 'l', 'i', 'g'), 0, 0, ~0u}};
  hb_shape(hbFont, buffer, features, plainScript ? 3 : 1);

  unsigned count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
  const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
  for (unsigned j = 0; j < count; ++j) {
    const bool missing =
        infos[j].codepoint == 0 && layout.missing.find(text[infos[j].cluster]) != std::u32string::npos;
    const GlyphBitmap& glyph = missing ? run.face->MissingGlyph() : run.face->Glyph(infos[j].codepoint);
    const hb_glyph_position_t& position = positions[j];
    if (glyph.width > 0 && PenPx(pen) <= kLaidOutWidthPx) {
      layout.glyphs.push_back({static_cast<int>(PenPx(pen)) + glyph.left + RoundPx(position.x_offset),
                               metrics.ascentPx - glyph.top - RoundPx(position.y_offset), &glyph,
                               static_cast<int>(infos[j].cluster)});
    }
    if (position.x_advance != 0) {
      const hb_position_t nominal = hb_font_get_glyph_h_advance(hbFont, infos[j].codepoint);
      const long long advance64 = glyph.advance64 + 64LL * RoundPx(position.x_advance - nominal);
      if (styled != nullptr && (styled->bits[infos[j].cluster] & 4) != 0) {
        UnderlineSpan(layout, metrics, PenPx(pen), static_cast<int>(PenPx(pen + advance64) - PenPx(pen)));
      }
      pen += advance64;
    }
  }
}

}  // namespace

/*
 * The full layout, for lines with characters the chosen face lacks, right-to-left text, or scripts whose
 * letters join or combine.
 *
 * 1. Face per character: control characters keep the chosen face; punctuation, digits and marks stay in the
 *    face of the character before them when it has them (so an Arabic phrase with its spaces is one run);
 *    otherwise the chosen face when it has the character, else the best stand-in fontconfig ranks. A character
 *    no installed font has is drawn as the chosen face's missing-glyph box and listed in `missing`.
 * 2. Direction: FriBidi's embedding levels, the paragraph direction from the first strong character unless
 *    the font sets it (BaseDirection).
 * 3. Runs of one level, face and script, put in visual order (rule L2); each shaped by HarfBuzz with the whole
 *    line as context, so letters join across a change of face. HarfBuzz gives right-to-left runs in visual
 *    order already.
 * 4. Positions: the pen moves by each glyph's hinted advance, the same advances the plain layout uses, plus
 *    whatever the font's positioning rules add (a mark's advance becomes zero); mark offsets are HarfBuzz's,
 *    rounded to whole pixels. Kerning stays off, as in the plain layout, and for the scripts the plain layout
 *    serves ligatures stay off too, so a Latin word looks the same in a mixed line as alone.
 *
 * The baseline and the cell height stay those of the chosen face.
 */
LineLayout FontEngine::Impl::LayoutShaped(FontInstance& primary, const FontDesc& font, const std::u32string& text,
                                          StyledCharacters* styled) {
  const FontMetrics& metrics = primary.Metrics();
  LineLayout layout;
  layout.heightPx = metrics.heightPx;
  layout.ascentPx = metrics.ascentPx;

  // The charset's language, else the line's own: Chinese text must not take a Korean face's forms of the same
  // Han characters.
  std::string_view language = LanguageOfCharset(font.charset);
  if (language.empty()) language = LanguageOfText(text);

  // A stand-in for a styled character has its style too.
  auto standIn = [&](char32_t c, std::size_t i) {
    return StandIn(styled == nullptr ? font : styled->fonts[styled->bits[i]], c, language);
  };
  const std::vector<FontInstance*> faces = FacesOfCharacters(primary, text, standIn, layout.missing, styled);
  const std::vector<Run> runs = RunsOfOneLevelFaceAndScript(text, faces, font.direction);
  std::vector<uint8_t> runLevels;
  for (const Run& run : runs) runLevels.push_back(run.level);

  const hb_language_t hbLanguage = language.empty()
                                       ? HB_LANGUAGE_INVALID
                                       : hb_language_from_string(language.data(), static_cast<int>(language.size()));
  long long pen = 0;  // 1/64 pixel
  for (const int runIndex : VisualRunOrder(runLevels)) {
    ShapeAndPlaceRun(buffer, runs[static_cast<std::size_t>(runIndex)], text, hbLanguage, metrics, pen, layout, styled);
  }
  layout.widthPx = WidthOfPen(pen);
  AddRules(layout, metrics, font.style);
  return layout;
}

}  // namespace quillet
