// The text of a subtitle file: UTF-16 files turned into UTF-8, the byte-order mark of a UTF-8 file dropped.
#include "subtitle/file_text.h"

#include <cstdint>
#include <string_view>

#include "base/utf8_text.h"
#include "subtitle/line_cursor.h"

namespace quillet {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

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
  if (view.starts_with(kUtf8Bom)) bytes.erase(0, kUtf8Bom.size());
  return {std::move(bytes), false};
}

}  // namespace quillet
