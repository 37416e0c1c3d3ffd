// SubRip time lines as subtitle tools write them: "0:00:01,5 --> 00:00:04.000 X1:..." and the like.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The times of one time line in whole milliseconds.
struct SrtTimes {
  int startMs = 0;
  int endMs = 0;
  bool operator==(const SrtTimes&) const = default;
};

// Why a line with an arrow holds no readable times; empty when it does.
using SrtTimeProblem = std::string;

// Reads one time at the front of `text` and removes it, as ffmpeg's SubRip reader takes it: hours, ":",
// minutes, ":", seconds, "," or ".", and a fraction that is a count of milliseconds ("1,5" is 1 s 5 ms and "1,50"
// 1 s 50 ms). Each field has one or more digits, may start with blanks and a sign ("00:00:-2,-345" is -2.345 s,
// as ffmpeg writes times before zero; a minus before the hours negates the whole time, "-00:00:02,345" is
// -2.345 s) and adds up with no range test ("00:00:013,567" is 13.567 s). Empty (and `text` untouched) when no
// such time starts there or when it does not fit 32-bit milliseconds.
std::optional<int> ReadSrtTime(std::string_view& text);

// A time line: optional blanks, the start time, optional blanks, "-->", optional blanks, the end time, then
// anything (position data such as "X1:100 X2:600" is ignored). On failure `problem`, when given, says which
// part could not be read.
std::optional<SrtTimes> ParseSrtTimeLine(std::string_view line, SrtTimeProblem* problem = nullptr);

// Whether the line is meant as a time line: it holds "-->". Such a line ends the text of the entry before it
// and opens an entry of its own, read or skipped.
inline bool HasSrtArrow(std::string_view line) { return line.find("-->") != std::string_view::npos; }

}  // namespace quillet
