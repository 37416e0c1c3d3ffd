// Names and values as a terminal shows them and as a shell reads them back.
#include "base/shown_text.h"

#include <cstdint>

namespace quillet {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendHexByte(std::string& out, unsigned char byte) {
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

// The length of the well-formed UTF-8 sequence at `at` (no overlong form, surrogate or code point past U+10FFFF),
// or 0; its code point in `codePoint`.
std::size_t Utf8Sequence(std::string_view text, std::size_t at, char32_t& codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  char32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(at + i) & 0x3F);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  codePoint = value;
  return length;
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// `text` with its control characters and stray bytes written out; a backslash and `quote` get a backslash first
// when `quote` is set (for the shell's $'...' form).
std::string WrittenOut(std::string_view text, char quote) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = Utf8Sequence(text, i, c);
    if (length == 0) {
      AppendHexByte(out, static_cast<unsigned char>(text[i++]));
      continue;
    }
    if (c == '\t' || c == '\n' || c == '\r') {
      out += c == '\t' ? "\\t" : c == '\n' ? "\\n" : "\\r";
    } else if (IsControl(c)) {
      for (std::size_t k = 0; k < length; ++k) AppendHexByte(out, static_cast<unsigned char>(text[i + k]));
    } else {
      if (quote != 0 && (c == '\\' || c == static_cast<char32_t>(quote))) out += '\\';
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) return WrittenOut(text, 0);
  }
  return std::string(text);  // plain printable ASCII, the common case
}

std::string ShellQuoted(std::string_view text) {
  constexpr std::string_view kPlain = "_@%+=:,./-";
  bool plain = !text.empty();
  bool controls = false;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = Utf8Sequence(text, i, c);
    controls = controls || length == 0 || IsControl(c);
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    plain = plain && length == 1 && (alnum || kPlain.find(static_cast<char>(c)) != std::string_view::npos);
    i += length == 0 ? 1 : length;
  }
  if (plain) return std::string(text);
  if (controls) return "$'" + WrittenOut(text, '\'') + "'";
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string OutputNameProblem(std::string_view name) {
  for (std::size_t i = 0; i < name.size();) {
    char32_t c = 0;
    const std::size_t length = Utf8Sequence(name, i, c);
    if (length == 0) return "it is not UTF-8 text (byte " + std::to_string(i + 1) + ")";
    if (c == '\n' || c == '\r') return "it holds a line break";
    if (c == '\t') return "it holds a tab";
    if (IsControl(c)) return "it holds a control character";
    if (c == 0xFFFE || c == 0xFFFF) return "it holds U+FFFE or U+FFFF, which is not a character";
    i += length;
  }
  return {};
}

}  // namespace quillet
