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

namespace {

constexpr std::array<CharsetInfo, 19> kCharsets{{
    {"ANSI", kCharsetAnsi, "CP1252", "", true},
    {"ARABIC", kCharsetArabic, "CP1256", "ar", true},
    {"BALTIC", kCharsetBaltic, "CP1257", "lt", true},
    {"CHINESEBIG5", kCharsetChineseBig5, "CP950", "zh-tw", false},
    {"DEFAULT", kCharsetDefault, "", "", false},
    {"EASTEUROPE", kCharsetEastEurope, "CP1250", "pl", true},
    {"GB2312", kCharsetGb2312, "CP936", "zh-cn", false},
    {"GREEK", kCharsetGreek, "CP1253", "el", true},
    {"HANGEUL", kCharsetHangeul, "CP949", "ko", false},
    {"HEBREW", kCharsetHebrew, "CP1255", "he", true},
    {"JOHAB", kCharsetJohab, "CP1361", "ko", false},
    {"MAC", kCharsetMac, "MACINTOSH", "", true},
    {"OEM", kCharsetOem, "CP437", "", true},
    {"RUSSIAN", kCharsetRussian, "CP1251", "ru", true},
    {"SHIFTJIS", kCharsetShiftJis, "CP932", "ja", false},
    {"SYMBOL", kCharsetSymbol, "", "", true},
    {"THAI", kCharsetThai, "CP874", "th", true},
    {"TURKISH", kCharsetTurkish, "CP1254", "tr", true},
    {"VIETNAMESE", kCharsetVietnamese, "CP1258", "vi", true},
}};

}  // namespace

const CharsetInfo* FindCharset(uint8_t charset) {
  for (const CharsetInfo& row : kCharsets) {
    if (row.charset == charset) return &row;
  }
  return nullptr;
}

uint8_t CharsetFromText(std::string_view name) {
  for (const CharsetInfo& row : kCharsets) {
    if (row.name == name) return row.charset;
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
