// The SubRip reader: time lines by shape, up to three text lines after each.
#include "subtitle/srt_reader.h"

#include <cstdint>

#include "base/errors.h"
#include "base/number_text.h"
#include "subtitle/line_cursor.h"
#include "subtitle/subtitle.h"

namespace quillet {
namespace {

constexpr std::size_t kTimeLength = 12;
constexpr std::size_t kEndTimeAt = 17;  // 0-based start of the end time

std::int64_t TimeField(std::string_view field, std::string_view time) {
  if (auto value = ParseDecimalInteger(field)) return *value;
  throw ConversionError(QuoteForMessage(field) + " is not a valid integer value in the time " + QuoteForMessage(time));
}

// A line of ASCII digits only: an entry's sequence number.
bool IsSequenceNumber(std::string_view line) {
  if (line.empty()) return false;
  for (char c : line) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Whether the next line of `cursor` is the text of the current entry. Not text: an empty line (it ends the
// entry), a time line, or a sequence number with a time line right after it (the next entry's start when the
// blank separator line is missing).
bool NextIsText(const LineCursor& cursor) {
  if (cursor.AtEnd()) return false;
  LineCursor ahead = cursor;
  std::string_view next = ahead.Next();
  if (next.empty() || IsSrtTimeLine(next)) return false;
  return !(IsSequenceNumber(next) && IsSrtTimeLine(ahead.Peek()));
}

}  // namespace

bool IsSrtTimeLine(std::string_view line) { return line.size() >= 29 && line.substr(13, 3) == "-->"; }

std::string SrtTimeToMs(std::string_view time) {
  auto field = [&](std::size_t at, std::size_t length) {
    return TimeField(at < time.size() ? time.substr(at, length) : std::string_view{}, time);
  };
  // Fields of at most two digits cannot overflow; only a long milliseconds field can, so sum in 64 bits and
  // refuse what 32 bits cannot hold rather than wrap to a wrong time.
  // Fields convert left to right, so the first bad one is the one reported.
  const std::int64_t hours = field(0, 2);
  const std::int64_t minutes = field(3, 2);
  const std::int64_t seconds = field(6, 2);
  const std::int64_t millis = field(9, std::string_view::npos);
  const std::int64_t ms = hours * 3'600'000 + minutes * 60'000 + seconds * 1'000 + millis;
  if (ms < INT32_MIN || ms > INT32_MAX) throw ConversionError("the time " + QuoteForMessage(time) + " is out of range");
  return std::to_string(ms);
}

bool LooksLikeSrt(std::string_view bytes) {
  LineCursor cursor(SkipUtf8Bom(bytes));
  cursor.Next();
  std::string_view second = cursor.Next();
  return second.size() >= 16 && second.substr(13, 3) == "-->";
}

void ReadSrt(std::string_view bytes, const std::string& fileName, TSubtitle& document) {
  LineCursor cursor(SkipUtf8Bom(bytes));
  int lineNumber = 0;
  while (!cursor.AtEnd()) {
    std::string_view line = cursor.Next();
    ++lineNumber;
    if (IsSrtTimeLine(line)) {
      std::string start, end;
      try {
        start = SrtTimeToMs(line.substr(0, kTimeLength));
        end = SrtTimeToMs(line.substr(kEndTimeAt, kTimeLength));
      } catch (const ConversionError& e) {
        throw ConversionError(e.what() + WhereInFile(fileName, lineNumber));
      }
      std::string_view text[3];
      for (int taken = 0; taken < 3 && NextIsText(cursor); ++taken) {
        text[taken] = cursor.Next();
        ++lineNumber;
      }
      document.AddLine(std::move(start), std::move(end), TSubtitle::RemoveTags(text[0]), TSubtitle::RemoveTags(text[1]),
                       TSubtitle::RemoveTags(text[2]));
    }
    document.Loaded = true;
  }
}

}  // namespace quillet
