// The list texts of the font and colour settings turned into values: style set, charset byte, palette entry.
#include "render/name_tables.h"

#include <array>
#include <string>
#include <utility>

namespace quillet {

StyleSet StyleFromText(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, uint8_t>, 9> kStyles{{
      {"Normal", 0},
      {"Bold", 1},
      {"Italic", 2},
      {"Underline", 4},
      {"Bold+Italic", 3},
      {"Bold+Under", 5},
      {"Bold+It+Und", 7},
      {"Italic+Under", 6},
      {"StrikeOut", 8},
  }};
  for (const auto& [text, bits] : kStyles) {
    if (text == name) return StyleSet::FromBits(bits);
  }
  return {};
}

uint8_t CharsetFromText(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, uint8_t>, 19> kCharsets{{
      {"ANSI", kCharsetAnsi},
      {"ARABIC", kCharsetArabic},
      {"BALTIC", kCharsetBaltic},
      {"CHINESEBIG5", kCharsetChineseBig5},
      {"DEFAULT", kCharsetDefault},
      {"EASTEUROPE", kCharsetEastEurope},
      {"GB2312", kCharsetGb2312},
      {"GREEK", kCharsetGreek},
      {"HANGEUL", kCharsetHangeul},
      {"HEBREW", kCharsetHebrew},
      {"JOHAB", kCharsetJohab},
      {"MAC", kCharsetMac},
      {"OEM", kCharsetOem},
      {"RUSSIAN", kCharsetRussian},
      {"SHIFTJIS", kCharsetShiftJis},
      {"SYMBOL", kCharsetSymbol},
      {"THAI", kCharsetThai},
      {"TURKISH", kCharsetTurkish},
      {"VIETNAMESE", kCharsetVietnamese},
  }};
  for (const auto& [text, value] : kCharsets) {
    if (text == name) return value;
  }
  return kCharsetDefault;
}

int PaletteIndexFromText(std::string_view text) {
  for (int entry = 0; entry < 16; ++entry) {
    if (text == "Color " + std::to_string(entry)) return entry;
  }
  return 0;
}

}  // namespace quillet
