// The list texts of the font and colour settings turned into values: style set, charset byte, palette entry.
#pragma once

#include <cstdint>
#include <string_view>

namespace quillet {

// Windows font charset identifiers, the byte a font description carries.
constexpr uint8_t kCharsetAnsi = 0;
constexpr uint8_t kCharsetDefault = 1;
constexpr uint8_t kCharsetSymbol = 2;
constexpr uint8_t kCharsetMac = 77;
constexpr uint8_t kCharsetShiftJis = 128;
constexpr uint8_t kCharsetHangeul = 129;
constexpr uint8_t kCharsetJohab = 130;
constexpr uint8_t kCharsetGb2312 = 134;
constexpr uint8_t kCharsetChineseBig5 = 136;
constexpr uint8_t kCharsetGreek = 161;
constexpr uint8_t kCharsetTurkish = 162;
constexpr uint8_t kCharsetVietnamese = 163;
constexpr uint8_t kCharsetHebrew = 177;
constexpr uint8_t kCharsetArabic = 178;
constexpr uint8_t kCharsetBaltic = 186;
constexpr uint8_t kCharsetRussian = 204;
constexpr uint8_t kCharsetThai = 222;
constexpr uint8_t kCharsetEastEurope = 238;
constexpr uint8_t kCharsetOem = 255;

// Bold, italic, underline, strikeout. As a bit set: bold 1, italic 2, underline 4, strikeout 8.
struct StyleSet {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;

  uint8_t Bits() const {
    return static_cast<uint8_t>((bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0) | (strikeout ? 8 : 0));
  }
  static StyleSet FromBits(uint8_t bits) {
    return {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
  }
  bool operator==(const StyleSet&) const = default;
};

// "Normal", "Bold", "Italic", "Underline", "Bold+Italic", "Bold+Under", "Bold+It+Und", "Italic+Under",
// "StrikeOut". Any other text (only a command line can give one) yields the empty set.
StyleSet StyleFromText(std::string_view name);

// What a Windows font charset stands for, one row per item of the charset list.
struct CharsetInfo {
  std::string_view name;  // the list text
  uint8_t charset;
  // The iconv name of its code page; empty for DEFAULT (the user's own code page) and SYMBOL (bytes as they are).
  std::string_view codePage;
  // The language it steers the choice of stand-in faces and the shaping towards; empty when it names none.
  std::string_view language;
  // Every byte below 0x80 is the ASCII character (not so in the Far East code pages and JOHAB, some of which put
  // the yen or won sign at the backslash).
  bool asciiBelow80;
};

// The row of a charset byte; nullptr for a byte no list item gives.
const CharsetInfo* FindCharset(uint8_t charset);

// "ANSI" … "VIETNAMESE" to their charset bytes. Any other text yields DEFAULT (1).
uint8_t CharsetFromText(std::string_view name);

// "Color 0" … "Color 15" (exact, case-sensitive) to 0 … 15. Any other text yields entry 0, so a bad index on a
// command line can never select a swatch that does not exist.
int PaletteIndexFromText(std::string_view text);

}  // namespace quillet
