// The MicroDVD reader (.sub and .txt): one entry per line, frame numbers in braces, a frame-rate first line.
#pragma once

#include <string>
#include <string_view>

#include "subtitle/subtitle_line.h"

namespace quillet {

class MessageSink;
class TSubtitle;

// Shown when the first line declares no frame rate; "\r" breaks the message into two lines.
inline constexpr std::string_view kFrameRateMessage =
    "Please write at the first line of your *.sub subtitle the fps of this subtitle\rExample: {1}{1}25.000";

// The frame rate declared by the first line "{1}{1}<rate>"; 0 when the line does not start with "{1}{1}".
// The rate is a decimal number with "." as separator whatever the locale; blanks around it are allowed.
// Throws ConversionError ("'23,976' is not a valid floating point value") when it is not a finite number.
double ReadFps(std::string_view firstLine);

// Milliseconds for a frame: frame x 1000 / rate, to the nearest integer with ties to even (frame 1 at 16 fps
// gives 62). The product must fit 32 bits (|frame| <= 2147483) and so must the result; otherwise
// ConversionError rather than a wrapped, wrong time.
int MicroDvdFrameToMs(int frame, double rate);

// One line "[anything]{start}{end}text|text|text": frames converted to milliseconds as decimal text; the first
// "|" ends line 1, the second ends line 2, everything after it (further "|" included) is line 3. Tags stay.
// Throws ConversionError when a frame is missing, not a decimal integer, or out of range.
fivestrings ParseMicroDvdLine(std::string_view line, double rate);

// Detection on the file's bytes: the first line starts with "{" (after a UTF-8 byte-order mark, if any).
bool LooksLikeMicroDvd(std::string_view bytes);

// Appends one entry per non-empty line of a MicroDVD file held in `bytes` to `document`, the frame-rate line
// included, and sets `Loaded` after each. A first line without a rate: kFrameRateMessage goes to `sink`, `Loaded`
// is false and nothing is read. Throws ConversionError naming `fileName` and the line when a number does not
// convert.
void ReadMicroDvd(std::string_view bytes, const std::string& fileName, TSubtitle& document, MessageSink& sink);

}  // namespace quillet
