// The sixteen values of one job, in command-line order, with the fixed lists, defaults and track-bar ranges.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quillet {

inline constexpr int kParameterCount = 16;

// Position i (0-based) names command-line value i + 1. An argument that spells its own name counts as missing.
inline constexpr std::array<std::string_view, kParameterCount> kParameterNames = {
    "haveifo",  "filenameifo", "filenamesub", "pal",      "colorantialias", "coloroutline", "colortext", "colorbg",
    "fontname", "fontcharset", "fontstyle",   "fontsize", "align",          "offset",       "offsetor",  "outline"};

// The fixed lists: entry N is what the control shows at index N, and what the readers convert.
inline constexpr std::array<std::string_view, 16> kColourList = {
    "Color 0", "Color 1", "Color 2",  "Color 3",  "Color 4",  "Color 5",  "Color 6",  "Color 7",
    "Color 8", "Color 9", "Color 10", "Color 11", "Color 12", "Color 13", "Color 14", "Color 15"};

inline constexpr std::array<std::string_view, 19> kCharsetList = {
    "ANSI",  "ARABIC", "BALTIC", "CHINESEBIG5", "DEFAULT",  "EASTEUROPE", "GB2312", "GREEK",   "HANGEUL",   "HEBREW",
    "JOHAB", "MAC",    "OEM",    "RUSSIAN",     "SHIFTJIS", "SYMBOL",     "THAI",   "TURKISH", "VIETNAMESE"};

inline constexpr std::array<std::string_view, 9> kStyleList = {
    "Normal", "Bold", "Italic", "Underline", "Bold+Italic", "Bold+Under", "Bold+It+Und", "Italic+Under", "StrikeOut"};

// Every size from 6 to 30, then the even sizes 32 to 50: index 14 is 20, index 34 is 50.
inline constexpr std::array<std::string_view, 35> kSizeList = {
    "6",  "7",  "8",  "9",  "10", "11", "12", "13", "14", "15", "16", "17", "18", "19", "20", "21", "22", "23",
    "24", "25", "26", "27", "28", "29", "30", "32", "34", "36", "38", "40", "42", "44", "46", "48", "50"};

inline constexpr std::array<std::string_view, 3> kAlignList = {"center", "left", "right"};
// --direction: the paragraph direction of every line (auto: each line's own).
inline constexpr std::array<std::string_view, 3> kDirectionList = {"auto", "ltr", "rtl"};

// Outline widths in pixels.
inline constexpr std::array<std::string_view, 3> kOutlineWidthList = {"2", "3", "4"};

// The font name list starts with this entry; the installed families follow it (built by the window).
inline constexpr std::string_view kFirstFontName = "Arial";

// Defaults (list values are 0-based indexes into the lists above).
inline constexpr bool kDefaultHaveIfo = false;
inline constexpr bool kDefaultPal = true;
inline constexpr int kDefaultColour = 0;
inline constexpr int kDefaultFontName = 0;
inline constexpr int kDefaultFontCharset = 4;  // "DEFAULT"
inline constexpr int kDefaultFontStyle = 0;    // "Normal"
inline constexpr int kDefaultFontSize = 14;    // "20"
inline constexpr int kDefaultAlign = 0;        // "center"
inline constexpr int kDefaultOffset = 30;
inline constexpr int kDefaultOffsetOr = -4;
inline constexpr int kDefaultOutline = 1;  // 3 pixels

// Track-bar ranges, ends included.
inline constexpr int kOffsetMin = 8;
inline constexpr int kOffsetMax = 492;
inline constexpr int kOffsetOrMin = -14;
inline constexpr int kOffsetOrMax = 10;

// One job. Field names are the command-line parameter names; a default-constructed value holds the defaults.
// List fields hold indexes and are not range-checked here: an index outside its list means "no selection".
struct JobSettings {
  bool haveifo = kDefaultHaveIfo;  // true: NO IFO file, the generic palette is used
  std::string filenameifo;         // full path as received
  std::string filenamesub;         // full path as received
  bool pal = kDefaultPal;          // true: PAL 720x576, false: NTSC 720x480
  int colorantialias = kDefaultColour;
  int coloroutline = kDefaultColour;
  int colortext = kDefaultColour;
  int colorbg = kDefaultColour;
  int fontname = kDefaultFontName;
  int fontcharset = kDefaultFontCharset;
  int fontstyle = kDefaultFontStyle;
  int fontsize = kDefaultFontSize;
  int align = kDefaultAlign;
  int offset = kDefaultOffset;      // pixels above the bottom of the frame, kOffsetMin..kOffsetMax
  int offsetor = kDefaultOffsetOr;  // even pixels, kOffsetOrMin..kOffsetOrMax
  int outline = kDefaultOutline;

  bool operator==(const JobSettings&) const = default;
};

// Where the `offset` track bar puts a position: clamped into kOffsetMin..kOffsetMax.
int ClampOffset(int position);

// Where the `offset_or` track bar ends up: clamped into kOffsetOrMin..kOffsetOrMax, an odd position then raised
// by one (-3 -> -2, 9 -> 10). Both ends are even, so the result stays in range.
int ClampOffsetOr(int position);

}  // namespace quillet
