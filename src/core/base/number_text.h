// Locale-free reading of decimal numbers, rounding, quoting a value and writing a clock time for a message.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// A signed decimal integer: an optional "+" or "-", then one or more digits 0-9, nothing else (no blanks, no
// prefix). Empty when the text has another form or does not fit 32 bits.
std::optional<std::int32_t> ParseDecimalInteger(std::string_view text);

// A decimal number: optional sign, digits with an optional "." fraction (at least one digit in all), optional
// exponent "e"/"E" with optional sign and digits. The separator is "." whatever the locale. No blanks, no
// "inf"/"nan", no hexadecimal. Whether the number is not zero (some mantissa digit is not 0, so "0e99" and
// "-0.0" are zero and "1e-400" is not); empty when the text is not a decimal number.
std::optional<bool> DecimalIsNonZero(std::string_view text);

// The value of a decimal number as a double; empty when the text is not a decimal number or its value is out of
// the double range.
std::optional<double> ParseDecimalNumber(std::string_view text);

// Rounds to the nearest integer; a value exactly halfway goes to the even neighbour (2.5 -> 2, -1.5 -> -2). The
// result stays a floating value, so values beyond every integer type keep their exact integral value.
long double RoundHalfToEven(long double value);

// The text between single quotes for a message; long texts are cut to their first 60 bytes and "..." is added,
// so a garbage line of megabytes does not end up in a message box; control characters are written out
// (EscapeControls).
std::string QuoteForMessage(std::string_view text);

// A line of subtitle text as a message shows it: the first kQuotedLineCharacters characters (a UTF-8 sequence is
// never cut), then "..." when there was more, so a line of megabytes is not echoed whole.
constexpr std::size_t kQuotedLineCharacters = 200;
std::string LineForMessage(std::string_view text);

// The one way messages write a time: "01:02:03,456" (hours, minutes, seconds, milliseconds, as a SubRip file
// writes it) for a time in milliseconds, rounded to the nearest millisecond; a negative time keeps its sign.
std::string ClockTime(double ms);

// " (file "<fileName>", line <lineNumber>)": appended to a conversion message raised while reading a file.
std::string WhereInFile(const std::string& fileName, int lineNumber);

}  // namespace quillet
