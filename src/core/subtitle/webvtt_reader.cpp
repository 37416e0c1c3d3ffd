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

std::string WebVttCueText(std::string_view line) {
  std::string text;
  text.reserve(line.size());
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '<') {
      const std::size_t close = line.find('>', i + 1);
      if (close != std::string_view::npos) {
        i = close + 1;
        continue;
      }
    } else if (c == '&') {
      bool decoded = false;
      for (const auto& entity : kEntities) {
        if (line.substr(i, entity.name.size()) == entity.name) {
          text += entity.text;
          i += entity.name.size();
          decoded = true;
          break;
        }
      }
      if (decoded) continue;
    }
    text += c;
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

// The drawn lines of the cue text that follows its timing line.
DrawnLines CueText(BlockLines& lines) {
  DrawnLines text;
  while (const std::optional<std::string_view> line = lines.NextTextLine()) {
    if (text.Full()) continue;
    std::string drawn = WebVttCueText(*line);
    if (!drawn.empty()) text.Add(std::move(drawn));
  }
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
    TimedEntry entry{blockLine, 0, 0, CueText(lines)};
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
