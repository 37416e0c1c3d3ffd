// The ASS/SSA reader (.ass, .ssa): the events of the [Events] section, read through its Format line.
#include "subtitle/ass_reader.h"

#include <string>

#include "base/ascii_text.h"
#include "subtitle/line_cursor.h"
#include "subtitle/markup.h"
#include "subtitle/subtitle.h"
#include "subtitle/time_fields.h"
#include "subtitle/timed_entries.h"

namespace quillet {
namespace {

// Where the fields an entry needs stand in an event line, and how many fields it has (the last is the text).
struct EventFormat {
  std::size_t start = 1;
  std::size_t end = 2;
  std::size_t fieldCount = 10;  // Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
};

// The value of a "Key: value" line when its key is `key` (any letter case); empty otherwise.
std::optional<std::string_view> ValueOf(std::string_view line, std::string_view key) {
  if (line.size() <= key.size() || line[key.size()] != ':' ||
      !EqualsIgnoringAsciiCase(line.substr(0, key.size()), key)) {
    return std::nullopt;
  }
  return line.substr(key.size() + 1);
}

// The fields named by a "Format:" line of [Events]; the usual order when it lacks Start, End or Text, or when
// Text is not last.
EventFormat ParseFormat(std::string_view value) {
  EventFormat format;
  std::optional<std::size_t> start, end, text;
  std::size_t index = 0;
  while (true) {
    const std::size_t comma = value.find(',');
    const std::string_view name = TrimBlanks(value.substr(0, comma));
    if (EqualsIgnoringAsciiCase(name, "start")) start = index;
    if (EqualsIgnoringAsciiCase(name, "end")) end = index;
    if (EqualsIgnoringAsciiCase(name, "text")) text = index;
    ++index;
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  if (start && end && text && *text == index - 1) format = EventFormat{*start, *end, index};
  return format;
}

// Hours, minutes, seconds, any one character, hundredths; each field with its own sign.
constexpr TimeForm kAssTime{false, true, "", 10, 9};

}  // namespace

bool LooksLikeAss(std::string_view text) {
  LineCursor cursor(text);
  while (!cursor.AtEnd()) {
    const std::string_view line = TrimBlanks(cursor.Next());
    if (!line.empty()) return EqualsIgnoringAsciiCase(line, "[Script Info]");
  }
  return false;
}

std::optional<long long> AssTimeToMs(std::string_view text) {
  text = TrimBlanks(text);
  const std::optional<std::int64_t> ms = ReadTimeFields(text, kAssTime);
  if (!ms || !text.empty()) return std::nullopt;
  return *ms;
}

// The fields before the text hold times, names and numbers; the comma that ends each is never the second byte of
// a two-byte character (those start at 40), so they are split byte by byte.
std::vector<SkippedEntry> ReadAss(std::string_view text, TSubtitle& document, const TextCharacters& characters) {
  std::vector<SkippedEntry> skipped;
  std::vector<TimedEntry> entries;
  EventFormat format;
  bool inEvents = false;
  LineCursor cursor(text);
  int lineNumber = 0;
  while (!cursor.AtEnd()) {
    const std::string_view line = cursor.Next();
    ++lineNumber;
    document.Loaded = true;
    if (TrimBlanks(line).starts_with('[')) {
      inEvents = EqualsIgnoringAsciiCase(TrimBlanks(line), "[Events]");
      continue;
    }
    if (!inEvents) continue;
    if (const std::optional<std::string_view> value = ValueOf(line, "Format")) {
      format = ParseFormat(*value);
      continue;
    }
    std::optional<std::string_view> value = ValueOf(line, "Dialogue");
    if (!value) continue;  // Comment:, Picture:, Sound:, Movie:, Command: and stray lines
    std::string_view rest = *value;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    // Every field but the last ends at the next comma; the text keeps the rest, commas included.
    std::string_view startField, endField;
    bool complete = true;
    for (std::size_t field = 0; field + 1 < format.fieldCount; ++field) {
      const std::size_t comma = rest.find(',');
      if (comma == std::string_view::npos) {
        complete = false;
        break;
      }
      if (field == format.start) startField = rest.substr(0, comma);
      if (field == format.end) endField = rest.substr(0, comma);
      rest.remove_prefix(comma + 1);
    }
    if (!complete) {
      skipped.push_back({lineNumber, "the event has fewer fields than its Format line names"});
      continue;
    }
    const std::optional<long long> startMs = AssTimeToMs(startField);
    const std::optional<long long> endMs = AssTimeToMs(endField);
    if (!startMs || !endMs) {
      skipped.push_back({lineNumber, !startMs ? "the start time cannot be read" : "the end time cannot be read"});
      continue;
    }
    TimedEntry entry;
    entry.line = lineNumber;
    entry.startMs = *startMs;
    entry.endMs = *endMs;
    AppendAssTextLines(rest, entry.text, characters);
    entries.push_back(std::move(entry));
  }
  AddInTimeOrder(std::move(entries), document, skipped);
  return skipped;
}

}  // namespace quillet
