// The WebVTT reader (.vtt): cues in blocks between empty lines, cue text tags removed, entities decoded.
#include "subtitle/webvtt_reader.h"

#include <array>
#include <cstdint>
#include <optional>

#include "subtitle/line_cursor.h"
#include "subtitle/subtitle.h"
#include "subtitle/time_fields.h"
#include "subtitle/timed_entries.h"

namespace quillet {
namespace {

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// The block keyword at the start of `line`: the word, then the end of the line, a blank or a tab.
bool StartsWithKeyword(std::string_view line, std::string_view word) {
  return line.starts_with(word) && (line.size() == word.size() || IsSpaceOrTab(line[word.size()]));
}

// "hh:mm:ss.ttt" or "mm:ss.ttt"; each field takes any number of digits and the fraction counts milliseconds, as
// ffmpeg reads cue times.
constexpr TimeForm kCueTime{true, false, ".", 1, 10};

struct CueTimes {
  std::int64_t startMs = 0;
  std::int64_t endMs = 0;
};

// "start --> end" and anything after the end time (cue settings).
std::optional<CueTimes> ParseTimingLine(std::string_view line, std::string& problem) {
  std::size_t blanks = 0;
  while (blanks < line.size() && IsSpaceOrTab(line[blanks])) ++blanks;
  line.remove_prefix(blanks);
  const std::optional<std::int64_t> start = ReadTimeFields(line, kCueTime);
  if (!start) {
    problem = "the start time cannot be read";
    return std::nullopt;
  }
  while (!line.empty() && IsSpaceOrTab(line.front())) line.remove_prefix(1);
  if (!line.starts_with("-->")) {
    problem = "no \"-->\" right after the start time";
    return std::nullopt;
  }
  line.remove_prefix(3);
  while (!line.empty() && IsSpaceOrTab(line.front())) line.remove_prefix(1);
  const std::optional<std::int64_t> end = ReadTimeFields(line, kCueTime);
  if (!end || (!line.empty() && !IsSpaceOrTab(line.front()))) {
    problem = "the end time cannot be read";
    return std::nullopt;
  }
  return CueTimes{*start, *end};
}

constexpr struct {
  std::string_view name;
  std::string_view text;
} kEntities[] = {
    {"&amp;", "&"},
    {"&lt;", "<"},
    {"&gt;", ">"},
    {"&nbsp;", "\xC2\xA0"},     // U+00A0: a blank the line is not broken at
    {"&lrm;", "\xE2\x80\x8E"},  // U+200E left-to-right mark
    {"&rlm;", "\xE2\x80\x8F"},  // U+200F right-to-left mark
};

}  // namespace

bool LooksLikeWebVtt(std::string_view text) {
  const std::string_view rest = text;
  if (!rest.starts_with("WEBVTT")) return false;
  return rest.size() == 6 || IsSpaceOrTab(rest[6]) || rest[6] == '\n' || rest[6] == '\r';
}

namespace {

// The cue settings of a timing line: what follows the end time.
std::string_view CueSettingsOf(std::string_view timing) {
  std::size_t at = timing.find("-->");
  if (at == std::string_view::npos) return {};
  at += 3;
  while (at < timing.size() && IsSpaceOrTab(timing[at])) ++at;
  while (at < timing.size() && !IsSpaceOrTab(timing[at])) ++at;
  return timing.substr(at);
}

// What the tag between "<" and ">" says of italic, bold and underline.
void FollowCueTag(std::string_view tag, StyleFlags& open) {
  const bool closing = tag.starts_with('/');
  if (closing) tag.remove_prefix(1);
  if (tag.empty() || (tag.size() > 1 && tag[1] != '.' && tag[1] != ' ')) return;
  if (tag[0] == 'i') open.italic = !closing;
  if (tag[0] == 'b') open.bold = !closing;
  if (tag[0] == 'u') open.underline = !closing;
}

// The whole number of up to ten digits at text[at], moving `at` past it; nothing when no digit stands there.
std::optional<std::int64_t> WholeNumber(std::string_view text, std::size_t& at) {
  std::int64_t value = 0;
  std::size_t count = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    if (++count > 10) return std::nullopt;
    value = value * 10 + (text[at++] - '0');
  }
  if (count == 0) return std::nullopt;
  return value;
}

// The value of one "name:value" cue setting, or nothing.
std::optional<std::string_view> CueSetting(std::string_view settings, std::string_view name) {
  std::size_t at = 0;
  while (at < settings.size()) {
    while (at < settings.size() && IsSpaceOrTab(settings[at])) ++at;
    std::size_t end = at;
    while (end < settings.size() && !IsSpaceOrTab(settings[end])) ++end;
    const std::string_view setting = settings.substr(at, end - at);
    if (setting.size() > name.size() && setting.starts_with(name) && setting[name.size()] == ':') {
      return setting.substr(name.size() + 1);
    }
    at = end;
  }
  return std::nullopt;
}

}  // namespace

EntryPlacement WebVttCuePlacement(std::string_view settings) {
  EntryPlacement placement;
  if (const std::optional<std::string_view> line = CueSetting(settings, "line")) {
    std::string_view value = line->substr(0, line->find(','));  // "line:0%,start"
    const bool percent = value.ends_with('%');
    if (percent) value.remove_suffix(1);
    std::size_t at = 0;
    const std::optional<std::int64_t> whole = WholeNumber(value, at);
    const bool integral = whole && at == value.size();
    const bool numeric = whole && (integral || value[at] == '.');  // "12.5%"
    if (numeric && percent && *whole < 20) placement.vertical = VerticalPlace::kTop;
    if (numeric && percent && *whole >= 40 && *whole < 60) placement.vertical = VerticalPlace::kMiddle;
    if (integral && !percent && *whole <= 2) placement.vertical = VerticalPlace::kTop;
  }
  if (const std::optional<std::string_view> align = CueSetting(settings, "align")) {
    if (*align == "left" || *align == "start") placement.horizontal = HorizontalPlace::kLeft;
    if (*align == "right" || *align == "end") placement.horizontal = HorizontalPlace::kRight;
    if (*align == "center" || *align == "middle") placement.horizontal = HorizontalPlace::kCentre;
  }
  return placement;
}

namespace {

// Appends `bytes` to `text`, styled as `open` says when followed.
void Keep(std::string& text, std::string_view bytes, const StyleFlags* open, StyleRuns* runs) {
  if (open != nullptr) AddStyleRun(*runs, text.size(), text.size() + bytes.size(), *open);
  text += bytes;
}

}  // namespace

std::string WebVttCueText(std::string_view line, StyleFlags* open, StyleRuns* runs) {
  std::string text;
  text.reserve(line.size());
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '<') {
      const std::size_t close = line.find('>', i + 1);
      if (close != std::string_view::npos) {
        if (open != nullptr) FollowCueTag(line.substr(i + 1, close - i - 1), *open);
        i = close + 1;
        continue;
      }
    } else if (c == '&') {
      bool decoded = false;
      for (const auto& entity : kEntities) {
        if (line.substr(i, entity.name.size()) == entity.name) {
          Keep(text, entity.text, open, runs);
          i += entity.name.size();
          decoded = true;
          break;
        }
      }
      if (decoded) continue;
    }
    Keep(text, line.substr(i, 1), open, runs);
    ++i;
  }
  return text;
}

namespace {

// The lines of a WebVTT text, block by block, counted for the notices.
class BlockLines {
 public:
  explicit BlockLines(std::string_view text) : m_cursor(text) {}
  bool AtEnd() const { return m_cursor.AtEnd(); }
  int Number() const { return m_number; }  // of the line read last, from 1
  std::string_view Next() {
    ++m_number;
    return m_cursor.Next();
  }
  // The next line of the current block; none at its end (an empty line, or the end of the text).
  std::optional<std::string_view> NextInBlock() {
    if (m_cursor.AtEnd() || m_cursor.Peek().empty()) return std::nullopt;
    return Next();
  }
  void SkipBlock() {
    while (NextInBlock()) {
    }
  }
  // The next line of a cue's text. A line holding "-->" is not: it is the timing line of the next cue, as
  // WebVTT's parsing rules read it.
  std::optional<std::string_view> NextTextLine() {
    if (!m_cursor.AtEnd() && m_cursor.Peek().find("-->") != std::string_view::npos) return std::nullopt;
    return NextInBlock();
  }

 private:
  LineCursor m_cursor;
  int m_number = 0;
};

// The drawn lines of the cue text that follows its timing line, with their styles, and the place the timing
// line's settings give.
DrawnLines CueText(BlockLines& lines, std::string_view timing) {
  DrawnLines text;
  while (const std::optional<std::string_view> line = lines.NextTextLine()) {
    if (text.Full()) {
      text.style.moreLines = true;
      continue;
    }
    StyleRuns runs;
    std::string drawn = WebVttCueText(*line, &text.tags, &runs);
    if (!drawn.empty()) text.Add(std::move(drawn), std::move(runs));
  }
  text.style.placement = WebVttCuePlacement(CueSettingsOf(timing));
  return text;
}

}  // namespace

std::vector<SkippedEntry> ReadWebVtt(std::string_view text, TSubtitle& document) {
  std::vector<SkippedEntry> skipped;
  std::vector<TimedEntry> entries;
  BlockLines lines(text);
  bool firstBlock = true;
  while (!lines.AtEnd()) {
    std::string_view line = lines.Next();
    document.Loaded = true;
    if (line.empty()) continue;
    // A block: this line and the ones up to the next empty line.
    const int blockLine = lines.Number();
    const bool header = firstBlock && StartsWithKeyword(line, "WEBVTT");
    firstBlock = false;
    if (header || StartsWithKeyword(line, "NOTE") || StartsWithKeyword(line, "STYLE") ||
        StartsWithKeyword(line, "REGION")) {
      lines.SkipBlock();
      continue;
    }
    // An identifier line comes before the timing line; only the timing line holds "-->".
    std::string_view timing = line;
    if (line.find("-->") == std::string_view::npos) {
      const std::optional<std::string_view> next = lines.NextInBlock();
      if (!next || next->find("-->") == std::string_view::npos) {
        lines.SkipBlock();
        skipped.push_back({blockLine, "no cue timing line (start --> end)"});
        continue;
      }
      timing = *next;
    }
    std::string problem;
    const std::optional<CueTimes> times = ParseTimingLine(timing, problem);
    TimedEntry entry;
    entry.line = blockLine;
    entry.text = CueText(lines, timing);
    if (!times) {
      skipped.push_back({blockLine, problem});
      continue;
    }
    entry.startMs = times->startMs;
    entry.endMs = times->endMs;
    entries.push_back(std::move(entry));
  }
  AddInTimeOrder(std::move(entries), document, skipped);
  return skipped;
}

}  // namespace quillet
