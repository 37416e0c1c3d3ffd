// Locale-free ASCII text helpers: letter case, blanks and trimming.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// Only A-Z and a-z change; every other byte (UTF-8 and code-page letters included) stays as it is.
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
std::string AsciiLower(std::string_view text);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix);

// A blank is a space or an ASCII control character (tab, a carriage return left by a CR LF line end, ...).
constexpr bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The text without the blanks around it.
std::string_view TrimBlanks(std::string_view text);

}  // namespace quillet
