// One timed subtitle entry, and the five-text record the MicroDVD line parser returns.
#pragma once

#include <string>

#include "base/text_style.h"

namespace quillet {

// Times are whole milliseconds from the start of the video as the decimal text of an integer ("40"), never with
// a fraction or exponent. Text lines are bytes as read (no decoding, no trimming), style tags removed; empty when
// absent. Line2 holds text only when Line1 did when read, Line3 only when Line2 did.
struct SubtitleLine {
  std::string StartTime;
  std::string EndTime;
  std::string Line1;
  std::string Line2;
  std::string Line3;
  // What the file says beyond the letters (italic runs, top placement); drawn only when the run keeps the file's
  // styles. Its runs index the bytes of Line1..Line3 as stored.
  EntryStyle Style;

  bool operator==(const SubtitleLine&) const = default;
};

// The parse of one MicroDVD line: start, end (milliseconds as decimal text) and three text lines, tags not yet
// removed.
struct fivestrings {
  std::string StartTime;
  std::string EndTime;
  std::string Line1;
  std::string Line2;
  std::string Line3;

  bool operator==(const fivestrings&) const = default;
};

}  // namespace quillet
