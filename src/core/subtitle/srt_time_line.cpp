// SubRip time lines as subtitle tools write them: "0:00:01,5 --> 00:00:04.000 X1:..." and the like.
#include "subtitle/srt_time_line.h"

#include <cstdint>

#include "base/ascii_text.h"

namespace quillet {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One field at text[at]: blanks, an optional sign, then digits, as many as there are. Ten digits already pass
// what 32-bit milliseconds hold, so longer fields fail rather than overflow.
bool ReadField(std::string_view text, std::size_t& at, std::int64_t& value) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  std::size_t count = 0;
  value = 0;
  while (at < text.size() && IsDigit(text[at])) {
    if (++count > 10) return false;
    value = value * 10 + (text[at] - '0');
    ++at;
  }
  if (negative) value = -value;
  return count > 0;
}

}  // namespace

std::optional<int> ReadSrtTime(std::string_view& text) {
  std::size_t at = 0;
  std::int64_t hours = 0, minutes = 0, seconds = 0, millis = 0;
  if (!ReadField(text, at, hours) || at >= text.size() || text[at++] != ':') return std::nullopt;
  if (!ReadField(text, at, minutes) || at >= text.size() || text[at++] != ':') return std::nullopt;
  if (!ReadField(text, at, seconds) || at >= text.size()) return std::nullopt;
  if (text[at] != ',' && text[at] != '.') return std::nullopt;
  ++at;
  if (!ReadField(text, at, millis)) return std::nullopt;
  const std::int64_t ms = (hours * 3'600 + minutes * 60 + seconds) * 1'000 + millis;
  if (ms > INT32_MAX || ms < INT32_MIN) return std::nullopt;
  text.remove_prefix(at);
  return static_cast<int>(ms);
}

std::optional<SrtTimes> ParseSrtTimeLine(std::string_view line, SrtTimeProblem* problem) {
  auto fail = [&](const char* why) -> std::optional<SrtTimes> {
    if (problem) *problem = why;
    return std::nullopt;
  };
  std::string_view rest = TrimBlanks(line);
  const std::optional<int> start = ReadSrtTime(rest);
  if (!start) return fail("the start time cannot be read");
  rest = TrimBlanks(rest);
  if (!rest.starts_with("-->")) return fail("no \"-->\" right after the start time");
  rest = TrimBlanks(rest.substr(3));
  const std::optional<int> end = ReadSrtTime(rest);
  if (!end) return fail("the end time cannot be read");
  if (problem) problem->clear();
  return SrtTimes{*start, *end};
}

}  // namespace quillet
