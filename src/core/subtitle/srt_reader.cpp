// The SubRip reader: entries keyed on their time lines, text up to the next empty line, markup removed.
#include "subtitle/srt_reader.h"

#include "base/ascii_text.h"
#include "base/errors.h"
#include "base/number_text.h"
#include "subtitle/line_cursor.h"
#include "subtitle/markup.h"
#include "subtitle/srt_time_line.h"
#include "subtitle/subtitle.h"

namespace quillet {
namespace {

// A line of ASCII digits only, blanks around allowed: an entry's sequence number.
bool IsSequenceNumber(std::string_view line) {
  line = TrimBlanks(line);
  if (line.empty()) return false;
  for (char c : line) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The next line of `cursor` when it belongs to the text of the current entry, and the cursor past it. Not text:
// a blank line (it ends the entry), a line with "-->", or a sequence number with such a line right after it
// (the next entry's start when the blank separator line is missing).
std::optional<std::string_view> NextTextLine(LineCursor& cursor) {
  if (cursor.AtEnd()) return std::nullopt;
  LineCursor ahead = cursor;
  const std::string_view next = ahead.Next();
  if (TrimBlanks(next).empty() || HasSrtArrow(next)) return std::nullopt;
  if (IsSequenceNumber(next) && !ahead.AtEnd() && HasSrtArrow(ahead.Peek())) return std::nullopt;
  cursor = ahead;
  return next;
}

// The drawn lines of the text that follows the current position, up to the end of the entry.
DrawnLines TakeEntryText(LineCursor& cursor, int& lineNumber, const TextCharacters& characters) {
  DrawnLines lines;
  while (const std::optional<std::string_view> line = NextTextLine(cursor)) {
    ++lineNumber;
    if (!lines.Full()) {
      AppendSrtTextLines(*line, lines, characters);
    } else {
      lines.style.moreLines = true;
    }
  }
  return lines;
}

}  // namespace

bool IsSrtTimeLine(std::string_view line) { return ParseSrtTimeLine(line).has_value(); }

std::string SrtTimeToMs(std::string_view time) {
  std::string_view rest = time;
  const std::optional<int> ms = ReadSrtTime(rest);
  if (!ms || !rest.empty()) throw ConversionError(QuoteForMessage(time) + " is not a valid time");
  return std::to_string(*ms);
}

bool LooksLikeSrt(std::string_view text) {
  LineCursor cursor(text);
  for (int nonBlank = 0; nonBlank < 10 && !cursor.AtEnd();) {
    std::string_view line = cursor.Next();
    if (TrimBlanks(line).empty()) continue;
    if (IsSrtTimeLine(line)) return true;
    ++nonBlank;
  }
  return false;
}

std::vector<SkippedEntry> ReadSrt(std::string_view text, TSubtitle& document, const TextCharacters& characters) {
  std::vector<SkippedEntry> skipped;
  LineCursor cursor(text);
  int lineNumber = 0;
  while (!cursor.AtEnd()) {
    std::string_view line = cursor.Next();
    ++lineNumber;
    document.Loaded = true;
    if (TrimBlanks(line).empty()) continue;
    const int entryLine = lineNumber;
    if (HasSrtArrow(line)) {
      SrtTimeProblem problem;
      const std::optional<SrtTimes> times = ParseSrtTimeLine(line, &problem);
      DrawnLines entryText = TakeEntryText(cursor, lineNumber, characters);
      if (!times) {
        skipped.push_back({entryLine, problem});
        continue;
      }
      if (EndsBeforeFilmStarts(times->endMs)) {
        skipped.push_back({entryLine, kEndsBeforeFilmStarts});
        continue;
      }
      document.AddLine(std::to_string(times->startMs), std::to_string(times->endMs), std::move(entryText.lines[0]),
                       std::move(entryText.lines[1]), std::move(entryText.lines[2]), std::move(entryText.style));
      continue;
    }
    if (IsSequenceNumber(line) && !cursor.AtEnd() && HasSrtArrow(cursor.Peek())) continue;
    // Text with no time line before it: an entry that lost its time, or stray lines. Its lines go with it.
    TakeEntryText(cursor, lineNumber, characters);
    skipped.push_back({entryLine, "no time line"});
  }
  return skipped;
}

}  // namespace quillet
