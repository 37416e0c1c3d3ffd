// The command-line grammar (16 positional values) and the conversion of each value for the unattended run.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "job/job_settings.h"

namespace quillet {

// What the command line says. `args[i]` is value i + 1 (args[0] = haveifo ... args[15] = outline), unconverted,
// with one trailing carriage return removed. When `unattended` is false every entry is empty.
struct CommandLine {
  bool unattended = false;
  std::array<std::string, kParameterCount> args;

  bool operator==(const CommandLine&) const = default;
};

// Reads the arguments that follow the program name. The run is unattended exactly when the first 16 arguments
// are all present, none is empty and none is equal (case-sensitively) to its own parameter name; otherwise the
// start is interactive and nothing of the command line is kept. Arguments past the 16th are ignored.
// A carriage return at the end of an argument is dropped first: batch lines end in CR LF, and a POSIX shell
// running one leaves the CR on the last argument.
CommandLine ParseCommandLine(const std::vector<std::string>& argsAfterProgramName);

// The conversions below throw ConversionError. Its message has no final full stop ("'yes' is not a valid boolean
// value"); the unattended run's error box adds one.

// Values 1 (haveifo) and 4 (pal): any decimal number (zero false, any other number true, so "2.5" and "-1" are
// true and "0.0" false), or "True" / "False" in any letter case.
bool ConvertBooleanValue(std::string_view text);

// Values 5 to 13 and 16 (list indexes): a signed decimal integer ("+" or "-", digits). The index is not checked
// against its list; an index outside the list means "no selection".
int ConvertIntegerValue(std::string_view text);

// Value 14 (offset): an integer clamped into kOffsetMin..kOffsetMax (1000 -> 492).
int ConvertOffsetValue(std::string_view text);

// The 16 values of an unattended run as one JobSettings. The values are converted in the order the run uses them:
// value 1; value 4 only when value 1 is true (otherwise the IFO decides and value 4 is never read); values 5 to 16.
// A value that does not convert leaves its field at the default, and the first such value is kept with its
// message, so the run can report it exactly where the run reaches it (after the IFO load, say).
struct CommandLineJob {
  JobSettings job;
  int firstBadValue = 0;  // 1-based number of the first value that did not convert; 0 when all did
  std::string badValueMessage;

  // Throws the first bad value's ConversionError when that value is among values 1..lastValue.
  void ThrowIfBadUpTo(int lastValue) const;
};
CommandLineJob JobFromCommandLine(const std::array<std::string, kParameterCount>& args);

// Value 15 (offsetor): an integer clamped into kOffsetOrMin..kOffsetOrMax, odd values raised to the next even
// number (-100 -> -14, -3 -> -2, 9 -> 10).
int ConvertOffsetOrValue(std::string_view text);

}  // namespace quillet
