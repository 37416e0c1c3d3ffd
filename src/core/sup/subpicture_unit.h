// The bytes of one SUP packet: the 10-byte packet header and the DVD subpicture unit behind it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/errors.h"
#include "sup/run_length_coding.h"

namespace quillet {

// The largest subpicture unit a DVD player's subpicture buffer holds (bytes, the size field included).
constexpr int kMaxSubpictureUnitBytes = 53220;

// The palette entries (0..15) that the four role codes show.
struct PaletteEntries {
  int antialias = 0;   // role code 3
  int outline = 0;     // role code 2
  int text = 0;        // role code 1
  int background = 0;  // role code 0
  bool operator==(const PaletteEntries&) const = default;
};

// A unit that would not fit the player's buffer.
class SubpictureTooLargeError : public QuilletError {
 public:
  explicit SubpictureTooLargeError(int unitBytes);
  int UnitBytes() const { return m_unitBytes; }

 private:
  int m_unitBytes;
};

// A time of the subtitle document: decimal text of milliseconds with "." as the decimal separator, whatever
// the locale. Surrounding blanks are ignored. Throws ConversionError for anything else (including inf, nan).
double ParseTimeMs(std::string_view text);

// Rounds to the nearest integer, ties to the even one, independent of the floating-point rounding mode.
double RoundHalfEven(double value);

// Presentation time in 90 kHz ticks: startMs × 90 rounded, ties to even, kept to its low 32 bits (a negative
// time wraps round to about 13 hours 15 minutes).
uint32_t PresentationTime(double startMs);

// Display duration in 1/90 s: (endMs − startMs) × 90 / 1000 rounded, ties to even, kept to its low 16 bits
// (an entry that ends before it starts, or lasts over about 728 s, wraps).
uint16_t DisplayDelay(double startMs, double endMs);

// "SP", the presentation time little-endian, four zero bytes.
std::array<uint8_t, 10> BuildPacketHeader(uint32_t pts90k);

// Length of the unit for a pixel-data block of `pixelDataBytes` bytes: 34 more, plus one pad byte when the
// block's length is odd, so that the unit's length is even.
std::size_t SubpictureUnitSize(std::size_t pixelDataBytes);

// Appends the subpicture unit to `out`: size, offset of the first control sequence, the pixel data, a
// sequence that starts the display at once with the palette entries, full contrast for the drawn roles and
// none for the background, the display area (columns 0..719, rows bandTop .. bandTop + bandHeight − 1) and
// the field offsets, then a sequence that stops the display after `delay`. Multi-byte fields are big-endian.
// Throws SubpictureTooLargeError when the unit would exceed kMaxSubpictureUnitBytes.
void BuildSubpictureUnit(const PixelData& pixels, int bandTop, int bandHeight, const PaletteEntries& entries,
                         uint16_t delay, std::vector<uint8_t>& out);
std::vector<uint8_t> BuildSubpictureUnit(const PixelData& pixels, int bandTop, int bandHeight,
                                         const PaletteEntries& entries, uint16_t delay);

}  // namespace quillet
