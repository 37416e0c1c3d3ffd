// Times written as fields ("01:02:03,456", "02:03.456", "1:02:03.45"): the one parser of the readers' times.
#include "subtitle/time_fields.h"

namespace quillet {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Blanks and a sign at text[at], when the form allows them; true for a minus.
bool ReadSign(std::string_view text, std::size_t& at, const TimeForm& form) {
  if (!form.signedFields) return false;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) return text[at++] == '-';
  return false;
}

std::optional<std::int64_t> ReadDigits(std::string_view text, std::size_t& at, const TimeForm& form) {
  std::int64_t value = 0;
  int count = 0;
  while (at < text.size() && IsDigit(text[at])) {
    if (++count > form.maxDigits) return std::nullopt;
    value = value * 10 + (text[at++] - '0');
  }
  if (count == 0) return std::nullopt;
  return value;
}

// A field after the first: its own sign, then digits.
std::optional<std::int64_t> ReadField(std::string_view text, std::size_t& at, const TimeForm& form) {
  const bool negative = ReadSign(text, at, form);
  const std::optional<std::int64_t> value = ReadDigits(text, at, form);
  if (!value) return std::nullopt;
  return negative ? -*value : *value;
}

bool IsFractionMark(char c, const TimeForm& form) {
  return form.fractionMarks.empty() || form.fractionMarks.find(c) != std::string_view::npos;
}

}  // namespace

std::optional<std::int64_t> ReadTimeFields(std::string_view& text, const TimeForm& form) {
  std::size_t at = 0;
  const bool negative = ReadSign(text, at, form);
  std::optional<std::int64_t> field = ReadDigits(text, at, form);
  std::int64_t seconds = 0;
  for (int count = 1; field; ++count) {
    if (at >= text.size()) return std::nullopt;
    seconds = seconds * 60 + *field;
    if (text[at] == ':' && count < 3) {
      ++at;
      field = ReadField(text, at, form);
      continue;
    }
    if (count < (form.hoursOptional ? 2 : 3) || !IsFractionMark(text[at], form)) return std::nullopt;
    ++at;
    const std::optional<std::int64_t> fraction = ReadField(text, at, form);
    if (!fraction) return std::nullopt;
    const std::int64_t ms = seconds * 1000 + *fraction * form.fractionUnitMs;
    text.remove_prefix(at);
    return negative ? -ms : ms;
  }
  return std::nullopt;
}

}  // namespace quillet
