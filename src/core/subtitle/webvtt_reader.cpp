// The WebVTT reader (.vtt): cues in blocks between empty lines, cue text tags removed, entities decoded.
#include "subtitle/webvtt_reader.h"

#include <array>
#include <cstdint>
#include <optional>

#include "subtitle/line_cursor.h"
#include "subtitle/subtitle.h"
#include "subtitle/timed_entries.h"

namespace quillet {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// The block keyword at the start of `line`: the word, then the end of the line, a blank or a tab.
bool StartsWithKeyword(std::string_view line, std::string_view word) {
  return line.starts_with(word) && (line.size() == word.size() || IsSpaceOrTab(line[word.size()]));
}

// Digits at text[at] as a number; empty when there are none or more than ten (which no time needs).
std::optional<std::int64_t> Number(std::string_view text, std::size_t& at) {
  std::int64_t value = 0;
  std::size_t count = 0;
  while (at < text.size() && IsDigit(text[at])) {
    if (++count > 10) return std::nullopt;
    value = value * 10 + (text[at++] - '0');
  }
  if (count == 0) return std::nullopt;
  return value;
}

// One time at the front of `text`, removed from it: "hh:mm:ss.ttt" or "mm:ss.ttt". Each field takes any number
// of digits and the fraction counts milliseconds, as ffmpeg reads cue times.
std::optional<std::int64_t> ReadCueTime(std::string_view& text) {
  std::size_t at = 0;
  std::array<std::int64_t, 3> fields{};
  std::size_t count = 0;
  while (true) {
    const std::optional<std::int64_t> field = Number(text, at);
    if (!field || at >= text.size()) return std::nullopt;
    if (text[at] == '.' && count >= 1) {
      ++at;
      const std::optional<std::int64_t> millis = Number(text, at);
      if (!millis) return std::nullopt;
      const std::int64_t hours = count == 2 ? fields[0] : 0;
      const std::int64_t minutes = fields[count - 1];
      text.remove_prefix(at);
      return (hours * 3600 + minutes * 60 + *field) * 1000 + *millis;
    }
    if (text[at] != ':' || count == 2) return std::nullopt;
    fields[count++] = *field;
    ++at;
  }
}

struct CueTimes {
  std::int64_t startMs = 0;
  std::int64_t endMs = 0;
};

// "start --> end" and anything after the end time (cue settings).
std::optional<CueTimes> ParseTimingLine(std::string_view line, std::string& problem) {
  std::size_t blanks = 0;
  while (blanks < line.size() && IsSpaceOrTab(line[blanks])) ++blanks;
  line.remove_prefix(blanks);
  const std::optional<std::int64_t> start = ReadCueTime(line);
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
  const std::optional<std::int64_t> end = ReadCueTime(line);
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
  const std::string_view rest = SkipUtf8Bom(text);
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

std::vector<SkippedEntry> ReadWebVtt(std::string_view text, TSubtitle& document) {
  std::vector<SkippedEntry> skipped;
  std::vector<TimedEntry> entries;
  LineCursor cursor(SkipUtf8Bom(text));
  int lineNumber = 0;
  bool firstBlock = true;
  while (!cursor.AtEnd()) {
    std::string_view line = cursor.Next();
    ++lineNumber;
    document.Loaded = true;
    if (line.empty()) continue;
    // A block: this line and the ones up to the next empty line.
    const int blockLine = lineNumber;
    auto nextInBlock = [&]() -> std::optional<std::string_view> {
      if (cursor.AtEnd() || cursor.Peek().empty()) return std::nullopt;
      ++lineNumber;
      return cursor.Next();
    };
    auto skipBlock = [&] {
      while (nextInBlock()) {
      }
    };
    const bool header = firstBlock && StartsWithKeyword(line, "WEBVTT");
    firstBlock = false;
    if (header || StartsWithKeyword(line, "NOTE") || StartsWithKeyword(line, "STYLE") ||
        StartsWithKeyword(line, "REGION")) {
      skipBlock();
      continue;
    }
    // An identifier line comes before the timing line; only the timing line holds "-->".
    std::string_view timing = line;
    if (line.find("-->") == std::string_view::npos) {
      const std::optional<std::string_view> next = nextInBlock();
      if (!next || next->find("-->") == std::string_view::npos) {
        skipBlock();
        skipped.push_back({blockLine, "no cue timing line (start --> end)"});
        continue;
      }
      timing = *next;
    }
    std::string problem;
    const std::optional<CueTimes> times = ParseTimingLine(timing, problem);
    TimedEntry entry;
    entry.line = blockLine;
    while (const std::optional<std::string_view> textLine = nextInBlock()) {
      if (entry.text.Full()) continue;
      std::string drawn = WebVttCueText(*textLine);
      if (!drawn.empty()) entry.text.Add(std::move(drawn));
    }
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
