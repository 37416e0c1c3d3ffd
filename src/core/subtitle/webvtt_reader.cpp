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

std::vector<SkippedEntry> ReadWebVtt(std::string_view text, TSubtitle& document) {
  std::vector<SkippedEntry> skipped;
  std::vector<TimedEntry> entries;
  LineCursor cursor(text);
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
    // A line with "-->" in the text is the timing line of the next cue, as WebVTT's parsing rules read it.
    auto nextTextLine = [&]() -> std::optional<std::string_view> {
      if (!cursor.AtEnd() && cursor.Peek().find("-->") != std::string_view::npos) return std::nullopt;
      return nextInBlock();
    };
    while (const std::optional<std::string_view> textLine = nextTextLine()) {
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
