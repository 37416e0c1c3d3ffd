// The MicroDVD reader (.sub and .txt): one entry per line, frame numbers in braces, a frame-rate first line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text_characters.h"
#include "subtitle/skipped_entries.h"
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
// Throws ConversionError when a frame is missing, not a decimal integer, or out of range; `problem`, when given,
// then says why in words for the skipped-entries notice (the exception's message quotes file text).
// Braces and "|" are found between the characters of `characters`.
fivestrings ParseMicroDvdLine(std::string_view line, double rate, std::string* problem = nullptr,
                              const TextCharacters& characters = {});

// Detection on the text of a file (after DecodeSubtitleFile, which drops a byte-order mark): the first line starts
// with "{".
bool LooksLikeMicroDvd(std::string_view text);

// The frame rate of a file whose first line declares none.
struct MicroDvdRate {
  double fallback = 0.0;       // 0: the file is refused
  std::string missingMessage;  // what it is refused with; empty: kFrameRateMessage
};

// Appends one entry per line of a MicroDVD text to `document`, the frame-rate line included, and sets `Loaded`
// once a line is read. A first line without a rate: the file is read at `rate.fallback`, line 1 an entry like
// any other; without a fallback, the rate's missing message goes to `sink`, `Loaded` is false and nothing is
// read. An entry that ends at or before 0 is skipped. Blank lines (empty or blanks only) hold no entry. A line whose
// frames cannot be read gives a SkippedEntry and reading goes on. In the text, "|" breaks lines (the third line keeps
// the rest, further "|" included); MicroDVD control codes and style tags are removed, and a line they leave empty is
// dropped so the lines after it move up. Throws ConversionError naming `fileName` and line 1 when the rate is not a
// number.
std::vector<SkippedEntry> ReadMicroDvd(std::string_view text, const std::string& fileName, TSubtitle& document,
                                       MessageSink& sink, const TextCharacters& characters = {},
                                       const MicroDvdRate& rate = {});

}  // namespace quillet
