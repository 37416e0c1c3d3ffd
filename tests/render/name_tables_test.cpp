#include "render/name_tables.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(NameTables, StyleNamesGiveTheirBitSets) {
  const std::pair<const char*, int> cases[] = {
      {"Normal", 0},     {"Bold", 1},        {"Italic", 2},       {"Underline", 4}, {"Bold+Italic", 3},
      {"Bold+Under", 5}, {"Bold+It+Und", 7}, {"Italic+Under", 6}, {"StrikeOut", 8},
  };
  for (const auto& [name, bits] : cases) EXPECT_EQ(StyleFromText(name).Bits(), bits) << name;
  EXPECT_TRUE(StyleFromText("Bold+It+Und").underline);
  EXPECT_FALSE(StyleFromText("Bold+It+Und").strikeout);
}

TEST(NameTables, CharsetNamesGiveWindowsCharsetBytes) {
  const std::pair<const char*, int> cases[] = {
      {"ANSI", 0},         {"ARABIC", 178}, {"BALTIC", 186},  {"CHINESEBIG5", 136}, {"DEFAULT", 1},
      {"EASTEUROPE", 238}, {"GB2312", 134}, {"GREEK", 161},   {"HANGEUL", 129},     {"HEBREW", 177},
      {"JOHAB", 130},      {"MAC", 77},     {"OEM", 255},     {"RUSSIAN", 204},     {"SHIFTJIS", 128},
      {"SYMBOL", 2},       {"THAI", 222},   {"TURKISH", 162}, {"VIETNAMESE", 163},
  };
  for (const auto& [name, value] : cases) EXPECT_EQ(CharsetFromText(name), value) << name;
}

TEST(NameTables, PaletteEntryNamesAreExact) {
  for (int entry = 0; entry < 16; ++entry) EXPECT_EQ(PaletteIndexFromText("Color " + std::to_string(entry)), entry);
}

// Only a command line can give other texts; they fall back to the defaults instead of failing later.
TEST(NameTables, UnknownTextsGiveTheDefaults) {
  for (const char* text : {"", "bold", "Normal ", "Bold+Under+It", "7"}) {
    EXPECT_EQ(StyleFromText(text), StyleSet{}) << text;
  }
  for (const char* text : {"", "ansi", "UTF-8", "Greek", "1"}) EXPECT_EQ(CharsetFromText(text), 1) << text;
  for (const char* text : {"", "Color 16", "Color -1", "color 3", "Color 03", "Color 3 ", "Color", "Colour 2", "15"}) {
    EXPECT_EQ(PaletteIndexFromText(text), 0) << text;
  }
}

}  // namespace
}  // namespace quillet
