// Hexadecimal text to a number, as used on the palette tooltips.
#include "palette/hex_text.h"

#include <cstdint>

#include "base/errors.h"

namespace quillet {

int HexToInt(std::string_view text) {
  if (text.empty()) return 0;
  if (text.front() == '$') text.remove_prefix(1);
  if (text.empty()) throw ConversionError("Error");
  uint32_t value = 0;
  for (char c : text) {
    uint32_t digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    } else {
      throw ConversionError("Error");
    }
    if (value > 0x0FFFFFFFu) throw ConversionError("Error");  // a ninth significant digit
    value = value * 16 + digit;
  }
  return static_cast<int>(static_cast<int32_t>(value));
}

}  // namespace quillet
