// Times written as fields ("01:02:03,456", "02:03.456", "1:02:03.45"): the one parser of the readers' times.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillet {

// What a format's times allow beyond hours, minutes and seconds separated by ":" and a fraction after them.
struct TimeForm {
  bool hoursOptional = false;  // "mm:ss.ttt" as well (WebVTT)
  // Each field may start with blanks and a sign, as ffmpeg reads and writes them ("00:00:-2,-345" is -2.345 s).
  // A sign before the first field applies to the whole time ("-00:00:02,345" is -2.345 s).
  bool signedFields = false;
  std::string_view fractionMarks = ".";  // the characters that may stand before the fraction; empty: any one
  int fractionUnitMs = 1;                // what one unit of the fraction counts: 1 ms, or 10 (hundredths)
  int maxDigits = 10;                    // a longer field fails rather than overflows
};

// Reads one time at the front of `text` and removes it: whole milliseconds. Fields take any number of digits from 1
// to form.maxDigits and add up with no range test ("00:00:013,567" is 13.567 s; the fraction counts units, so
// "1,5" is 1 s 5 ms). Empty, and `text` untouched, when no such time starts there.
std::optional<std::int64_t> ReadTimeFields(std::string_view& text, const TimeForm& form);

}  // namespace quillet
