// Locale-free reading of decimal numbers, rounding, quoting a value and writing a clock time for a message.
#include "base/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/shown_text.h"

namespace quillet {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Scans a decimal number; returns false on any other form. `nonZero` tells whether a mantissa digit is not 0.
bool ScanDecimalNumber(std::string_view text, bool& nonZero) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  nonZero = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  for (; i < n && IsDigit(text[i]); ++i, ++digits) nonZero |= text[i] != '0';
  if (i < n && text[i] == '.') {
    for (++i; i < n && IsDigit(text[i]); ++i, ++digits) nonZero |= text[i] != '0';
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t expDigits = 0;
    for (; i < n && IsDigit(text[i]); ++i) ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == n;
}

}  // namespace

std::optional<std::int32_t> ParseDecimalInteger(std::string_view text) {
  // from_chars takes a "-" but not a "+"; a "+" followed by another sign must still fail.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || !IsDigit(text.front())) return std::nullopt;
  }
  if (text.empty() || (text.front() == '-' && (text.size() == 1 || !IsDigit(text[1])))) return std::nullopt;
  std::int32_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<bool> DecimalIsNonZero(std::string_view text) {
  bool nonZero = false;
  if (!ScanDecimalNumber(text, nonZero)) return std::nullopt;
  return nonZero;
}

std::optional<double> ParseDecimalNumber(std::string_view text) {
  bool nonZero = false;
  if (!ScanDecimalNumber(text, nonZero)) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

long double RoundHalfToEven(long double value) {
  const long double lower = std::floor(value);
  const long double fraction = value - lower;
  if (fraction > 0.5L) return lower + 1;
  if (fraction < 0.5L) return lower;
  return std::fmod(lower, 2.0L) == 0 ? lower : lower + 1;
}

std::string QuoteForMessage(std::string_view text) {
  constexpr std::size_t kMaxShown = 60;
  std::string quoted = "'";
  quoted += EscapeControls(text.substr(0, kMaxShown));
  quoted += text.size() <= kMaxShown ? "'" : "...'";
  return quoted;
}

std::string LineForMessage(std::string_view text) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A byte that does not continue a UTF-8 sequence starts a character.
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && characters++ == kQuotedLineCharacters) {
      return std::string(text.substr(0, i)) + "...";
    }
  }
  return std::string(text);
}

std::string ClockTime(double ms) {
  const bool negative = ms < 0;
  const long long total = std::llround(std::fabs(ms));
  char text[48];
  std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld,%03lld", negative ? "-" : "", total / 3600000,
                total / 60000 % 60, total / 1000 % 60, total % 1000);
  return text;
}

std::string WhereInFile(const std::string& fileName, int lineNumber) {
  return " (file \"" + fileName + "\", line " + std::to_string(lineNumber) + ")";
}

}  // namespace quillet
