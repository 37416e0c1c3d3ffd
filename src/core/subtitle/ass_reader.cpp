// The ASS/SSA reader (.ass, .ssa): the events of the [Events] section, read through its Format line.
#include "subtitle/ass_reader.h"

#include <map>
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
  std::size_t style = 3;
  std::size_t fieldCount = 10;  // Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
};

// What a style line says that is drawn: its italic, bold and underline columns and its alignment.
struct AssStyle {
  StyleFlags flags;
  EntryPlacement placement;
};

// The index of each field a "Format:" line names, by its name in lower case.
std::map<std::string, std::size_t> FieldIndexes(std::string_view value) {
  std::map<std::string, std::size_t> indexes;
  std::size_t index = 0;
  while (true) {
    const std::size_t comma = value.find(',');
    std::string name(TrimBlanks(value.substr(0, comma)));
    for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    indexes.emplace(std::move(name), index++);
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return indexes;
}

// The styles of a [V4+ Styles] or [V4 Styles] section (SSA, whose alignment numbers are its own), by name.
class AssStyles {
 public:
  void StartSection(bool legacy) {
    m_legacy = legacy;
    m_fields = FieldIndexes(legacy ? "Name,Fontname,Fontsize,PrimaryColour,SecondaryColour,TertiaryColour,BackColour,"
                                     "Bold,Italic,BorderStyle,Outline,Shadow,Alignment"
                                   : "Name,Fontname,Fontsize,PrimaryColour,SecondaryColour,OutlineColour,BackColour,"
                                     "Bold,Italic,Underline,StrikeOut,ScaleX,ScaleY,Spacing,Angle,BorderStyle,"
                                     "Outline,Shadow,Alignment");
  }
  void ReadFormatLine(std::string_view value) { m_fields = FieldIndexes(value); }
  // A "Style:" line's value: "Name,Arial,20,...".
  void Add(std::string_view value) {
    std::vector<std::string_view> fields;
    while (true) {
      const std::size_t comma = value.find(',');
      fields.push_back(TrimBlanks(value.substr(0, comma)));
      if (comma == std::string_view::npos) break;
      value.remove_prefix(comma + 1);
    }
    auto field = [&](const char* name) -> std::string_view {
      const auto found = m_fields.find(name);
      return found != m_fields.end() && found->second < fields.size() ? fields[found->second] : std::string_view();
    };
    // -1 is true in these columns; 1 is read so too, as libass does.
    auto on = [&](const char* name) { return !field(name).empty() && field(name) != "0"; };
    AssStyle style;
    style.flags = {on("italic"), on("bold"), on("underline")};
    const std::string_view alignment = field("alignment");
    int number = 0;
    for (char c : alignment.substr(0, 3)) number = (c >= '0' && c <= '9') ? number * 10 + (c - '0') : -1000;
    style.placement = PlacementFromAlignment(number, m_legacy);
    m_styles[std::string(field("name"))] = style;
  }
  // The style an event names; "Default" when the name is unknown, plain when that is too.
  AssStyle Of(std::string_view name) const {
    while (name.starts_with('*')) name.remove_prefix(1);
    auto found = m_styles.find(std::string(TrimBlanks(name)));
    if (found == m_styles.end()) found = m_styles.find("Default");
    return found == m_styles.end() ? AssStyle{} : found->second;
  }

 private:
  bool m_legacy = false;
  std::map<std::string, std::size_t> m_fields;
  std::map<std::string, AssStyle, std::less<>> m_styles;
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
  std::optional<std::size_t> start, end, text, style;
  std::size_t index = 0;
  while (true) {
    const std::size_t comma = value.find(',');
    const std::string_view name = TrimBlanks(value.substr(0, comma));
    if (EqualsIgnoringAsciiCase(name, "start")) start = index;
    if (EqualsIgnoringAsciiCase(name, "end")) end = index;
    if (EqualsIgnoringAsciiCase(name, "text")) text = index;
    if (EqualsIgnoringAsciiCase(name, "style")) style = index;
    ++index;
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  if (start && end && text && *text == index - 1) format = EventFormat{*start, *end, style.value_or(index), index};
  return format;
}

// Hours, minutes, seconds, any one character, hundredths; each field with its own sign.
constexpr TimeForm kAssTime{false, true, "", 10, 9};

// The fields of a Dialogue line that an entry needs.
struct EventFields {
  std::string_view start, end, style, text;
};

// Every field but the last ends at the next comma; the text keeps the rest, commas included. Nothing when the
// line has fewer fields than the format names.
std::optional<EventFields> SplitEvent(std::string_view rest, const EventFormat& format) {
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  EventFields fields;
  for (std::size_t field = 0; field + 1 < format.fieldCount; ++field) {
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    if (field == format.start) fields.start = rest.substr(0, comma);
    if (field == format.end) fields.end = rest.substr(0, comma);
    if (field == format.style) fields.style = rest.substr(0, comma);
    rest.remove_prefix(comma + 1);
  }
  fields.text = rest;
  return fields;
}

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
  AssStyles styles;
  bool inEvents = false;
  bool inStyles = false;
  LineCursor cursor(text);
  int lineNumber = 0;
  while (!cursor.AtEnd()) {
    const std::string_view line = cursor.Next();
    ++lineNumber;
    document.Loaded = true;
    if (TrimBlanks(line).starts_with('[')) {
      const std::string_view header = TrimBlanks(line);
      inEvents = EqualsIgnoringAsciiCase(header, "[Events]");
      const bool legacy = EqualsIgnoringAsciiCase(header, "[V4 Styles]");
      inStyles = legacy || EqualsIgnoringAsciiCase(header, "[V4+ Styles]");
      if (inStyles) styles.StartSection(legacy);
      continue;
    }
    if (inStyles) {
      if (const std::optional<std::string_view> value = ValueOf(line, "Format")) styles.ReadFormatLine(*value);
      if (const std::optional<std::string_view> value = ValueOf(line, "Style")) styles.Add(*value);
      continue;
    }
    if (!inEvents) continue;
    if (const std::optional<std::string_view> value = ValueOf(line, "Format")) {
      format = ParseFormat(*value);
      continue;
    }
    std::optional<std::string_view> value = ValueOf(line, "Dialogue");
    if (!value) continue;  // Comment:, Picture:, Sound:, Movie:, Command: and stray lines
    const std::optional<EventFields> fields = SplitEvent(*value, format);
    if (!fields) {
      skipped.push_back({lineNumber, "the event has fewer fields than its Format line names"});
      continue;
    }
    const std::optional<long long> startMs = AssTimeToMs(fields->start);
    const std::optional<long long> endMs = AssTimeToMs(fields->end);
    if (!startMs || !endMs) {
      skipped.push_back({lineNumber, !startMs ? "the start time cannot be read" : "the end time cannot be read"});
      continue;
    }
    TimedEntry entry;
    entry.line = lineNumber;
    entry.startMs = *startMs;
    entry.endMs = *endMs;
    const AssStyle style = styles.Of(fields->style);
    entry.text.StartWith(style.flags);
    entry.text.style.placement = style.placement;
    AppendAssTextLines(fields->text, entry.text, characters);
    entries.push_back(std::move(entry));
  }
  AddInTimeOrder(std::move(entries), document, skipped);
  return skipped;
}

}  // namespace quillet
