// Hexadecimal text to a number, as used on the palette tooltips.
#pragma once

#include <string_view>

namespace quillet {

// Hexadecimal digits (either case), optionally behind one "$", to their value: "EB" -> 235, "$10" -> 16.
// Empty text gives 0. Anything else (a blank, a sign, a second "$", a lone "$", more than 8 significant digits)
// throws ConversionError("Error"). Eight digits are read as a 32-bit pattern, so "FFFFFFFF" gives -1.
int HexToInt(std::string_view text);

}  // namespace quillet
