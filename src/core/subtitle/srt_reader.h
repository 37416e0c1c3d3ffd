// The SubRip reader: time lines by shape, up to three text lines after each.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

class TSubtitle;

// At least 29 bytes with "-->" at positions 14 to 16 (1-based). Nothing else is examined.
bool IsSrtTimeLine(std::string_view line);

// "hh:mm:ss,mmm" to whole milliseconds as decimal text: positions 1-2, 4-5, 7-8 and 10 to the end each read as
// a signed decimal integer; the separators are not examined (a "." reads like a ","), and minutes or seconds
// above 59 simply add up. Throws ConversionError naming the field and the time when a field does not convert,
// or when the sum does not fit 32 bits (impossible with three-digit milliseconds, the reader's case).
std::string SrtTimeToMs(std::string_view time);

// Detection on the file's bytes: the second line has "-->" at positions 14 to 16. A UTF-8 byte-order mark at the
// start is skipped.
bool LooksLikeSrt(std::string_view bytes);

// Appends the entries of a SubRip file held in `bytes` to `document` and sets its `Loaded` once a line is read.
// Each time line opens an entry; its text is the lines that follow, up to the first empty line, the next time
// line, or a sequence number directly followed by a time line. At most three text lines are kept; further
// ones are dropped. Throws ConversionError naming `fileName` and the line when a time does not convert.
void ReadSrt(std::string_view bytes, const std::string& fileName, TSubtitle& document);

}  // namespace quillet
