// The text of a subtitle file: UTF-16 files turned into UTF-8, the byte-order mark of a UTF-8 file dropped, the
// code page of 8-bit text chosen.
#include "subtitle/file_text.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "base/utf8_text.h"
#include "subtitle/code_page_guess.h"

namespace quillet {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 2);
  auto unit = [&](std::size_t at) -> std::uint16_t {
    const auto hi = static_cast<unsigned char>(bytes[bigEndian ? at : at + 1]);
    const auto lo = static_cast<unsigned char>(bytes[bigEndian ? at + 1 : at]);
    return static_cast<std::uint16_t>(hi << 8 | lo);
  };
  std::size_t at = 0;
  for (; at + 1 < bytes.size(); at += 2) {
    const std::uint16_t first = unit(at);
    if (first >= 0xD800 && first <= 0xDBFF && at + 3 < bytes.size()) {
      const std::uint16_t second = unit(at + 2);
      if (second >= 0xDC00 && second <= 0xDFFF) {
        AppendUtf8(text, 0x10000 + ((static_cast<char32_t>(first) - 0xD800) << 10) + (second - 0xDC00));
        at += 2;
        continue;
      }
    }
    AppendUtf8(text, first);  // a lone surrogate becomes U+FFFD there
  }
  if (at < bytes.size()) AppendUtf8(text, kReplacement);
  return text;
}

}  // namespace

SubtitleText DecodeSubtitleFile(std::string bytes) {
  const std::string_view view = bytes;
  if (view.starts_with("\xFF\xFE")) return {Utf16ToUtf8(view.substr(2), false), true};
  if (view.starts_with("\xFE\xFF")) return {Utf16ToUtf8(view.substr(2), true), true};
  if (!view.starts_with(kUtf8Bom)) return {std::move(bytes), false};
  bytes.erase(0, kUtf8Bom.size());
  return {std::move(bytes), true};
}

TextReading ChooseTextReading(const SubtitleText& file, const CodePageChoice& choice) {
  TextReading reading;
  if (file.unicode) {
    reading.unicode = true;
    const bool ascii = std::all_of(file.text.begin(), file.text.end(), [](char c) { return (c & 0x80) == 0; });
    if (!choice.chosenCharset.empty() && !ascii) {
      reading.notice = "read as Unicode, not " + choice.chosenCharset + " (the file starts with a byte-order mark)";
    }
    return reading;
  }
  if (!choice.findFromText || IsValidUtf8(file.text)) return reading;
  if (const std::optional<FoundCodePage> found = FindCodePage(file.text)) {
    reading.converted = CodePageToUtf8(file.text, found->codePage);
    reading.unicode = true;
    reading.notice = "read as " + found->name + " (found from the text; " + choice.howToChoose + ")";
  } else {
    reading.notice =
        "read as Windows-1252 (the text is not UTF-8 and its code page could not be found; " + choice.howToChoose + ")";
  }
  return reading;
}

}  // namespace quillet
