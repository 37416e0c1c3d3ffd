// SubRip time lines as subtitle tools write them: "0:00:01,5 --> 00:00:04.000 X1:..." and the like.
#include "subtitle/srt_time_line.h"

#include <cstdint>

#include "base/ascii_text.h"
#include "subtitle/time_fields.h"

namespace quillet {
namespace {

// Hours, minutes, seconds and milliseconds, each with its own sign as ffmpeg writes them.
constexpr TimeForm kSrtTime{false, true, ",.", 1, 10};

}  // namespace

std::optional<int> ReadSrtTime(std::string_view& text) {
  std::string_view rest = text;
  const std::optional<std::int64_t> ms = ReadTimeFields(rest, kSrtTime);
  if (!ms || *ms > INT32_MAX || *ms < INT32_MIN) return std::nullopt;
  text = rest;
  return static_cast<int>(*ms);
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
