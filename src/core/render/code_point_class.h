// What the line layout needs to know about a code point: whether it can be drawn glyph after glyph, its script,
// and whether it is invisible by nature.
#pragma once

#include <hb.h>

#include <string>

namespace quillet {

// C0 and C1 control characters and DEL. The line layout draws none of them (a tab becomes a space) and lists
// them apart from the missing characters.
constexpr bool IsControlCharacter(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// Characters that show nothing when no font has them (joiners, direction marks, variation selectors, …): they
// are never reported as missing.
bool IsDefaultIgnorable(char32_t c);

// True when drawing the code point needs more than its glyph at the pen position: it is written right to left
// (or is a direction control), it is a combining mark, it must stay invisible (a direction mark or joiner, which
// some faces give a visible glyph), or its script joins or reorders letters (Arabic, Indic, Thai, …). Latin,
// Greek, Cyrillic, CJK and the common punctuation need none.
bool NeedsShaping(char32_t c);

// Scripts whose letters stand alone, left to right, one glyph each (Latin, Greek, Cyrillic, Han, kana, …, and
// the common characters).
bool IsPlainScript(hb_script_t script);

// The Unicode script of the code point (HB_SCRIPT_COMMON for punctuation and digits, HB_SCRIPT_INHERITED for
// marks that take the script of their base).
hb_script_t ScriptOf(char32_t c);

// "U+1F600" for a code point, as messages name it.
std::string CodePointName(char32_t codePoint);

}  // namespace quillet
