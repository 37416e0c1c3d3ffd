// What the line layout needs to know about a code point: whether it can be drawn glyph after glyph, its script,
// and whether it is invisible by nature.
#include "render/code_point_class.h"

#include <fribidi.h>

#include <cstdio>

namespace quillet {
namespace {

hb_unicode_funcs_t* Unicode() { return hb_unicode_funcs_get_default(); }

bool IsHangulJamo(char32_t c) {
  return (c >= 0x1100 && c <= 0x11FF) || (c >= 0xA960 && c <= 0xA97F) || (c >= 0xD7B0 && c <= 0xD7FF);
}

}  // namespace

bool IsDefaultIgnorable(char32_t c) {
  return c == 0x00AD || c == 0x034F || c == 0x061C || c == 0x115F || c == 0x1160 || c == 0x17B4 || c == 0x17B5 ||
         (c >= 0x180B && c <= 0x180F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x206F) || c == 0x3164 || (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || c == 0xFFA0 ||
         (c >= 0xFFF0 && c <= 0xFFF8) || (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0x1D173 && c <= 0x1D17A) ||
         (c >= 0xE0000 && c <= 0xE0FFF);
}

bool NeedsShaping(char32_t c) {
  if (c < 0x300) return false;  // Basic Latin, Latin-1, Latin Extended, IPA, spacing modifiers
  // Direction marks, joiners and the like must not show, even where the face has a visible glyph for them.
  if (IsDefaultIgnorable(c)) return true;
  const FriBidiCharType type = fribidi_get_bidi_type(c);
  if (FRIBIDI_IS_RTL(type) || FRIBIDI_IS_ARABIC(type) || FRIBIDI_IS_EXPLICIT(type) || FRIBIDI_IS_ISOLATE(type)) {
    return true;
  }
  switch (hb_unicode_general_category(Unicode(), c)) {
    case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
      return true;
    default:
      break;
  }
  return IsHangulJamo(c) || !IsPlainScript(ScriptOf(c));
}

bool IsPlainScript(hb_script_t script) {
  switch (script) {
    case HB_SCRIPT_COMMON:
    case HB_SCRIPT_LATIN:
    case HB_SCRIPT_GREEK:
    case HB_SCRIPT_CYRILLIC:
    case HB_SCRIPT_ARMENIAN:
    case HB_SCRIPT_GEORGIAN:
    case HB_SCRIPT_HAN:
    case HB_SCRIPT_HIRAGANA:
    case HB_SCRIPT_KATAKANA:
    case HB_SCRIPT_BOPOMOFO:
    case HB_SCRIPT_HANGUL:
    case HB_SCRIPT_YI:
    case HB_SCRIPT_ETHIOPIC:
    case HB_SCRIPT_CHEROKEE:
    case HB_SCRIPT_CANADIAN_SYLLABICS:
      return true;
    default:
      return false;
  }
}

hb_script_t ScriptOf(char32_t c) { return hb_unicode_script(Unicode(), c); }

std::string CodePointName(char32_t codePoint) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
  return name;
}

}  // namespace quillet
