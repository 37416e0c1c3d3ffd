// The bytes of one SUP packet: the 10-byte packet header and the DVD subpicture unit behind it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/errors.h"
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

// A DVD player counts the stop delay in ticks of 1024/90 ms (90 kHz divided by 1024).
constexpr double kDelayTickMs = 1024.0 / 90;
constexpr uint16_t kMaxDelayTicks = 65535;  // about 745.6 s
// The last whole millisecond whose presentation time still fits 32 bits of 90 kHz ticks (13:15:21,858).
constexpr double kLastWritableStartMs = 47721858;

// What had to give way so that an entry's times fit the fields a DVD player reads.
enum TimingAdjustment : unsigned {
  kTimingAsWritten = 0,
  kStartBeforeZero = 1,  // shown from 0 instead
  kEndsBeforeStart = 2,  // cannot be shown
  kLastsTooLong = 4,     // cut to kMaxDelayTicks
};

// Whether the start's presentation time fits 32 bits; a later start cannot be written at all.
bool StartTimeFits(double startMs);

// Presentation time in 90 kHz ticks: startMs × 90 rounded, ties to even; a negative start gives 0.
// The start must fit (StartTimeFits); a later one gives the largest time.
uint32_t PresentationTime(double startMs);

// Stop delay in 1024/90 ms ticks, counted from the shown start (never before 0) to the end: (endMs − start)
// × 90 / 1024 rounded, ties to even; an end before the start gives 0, a longer entry kMaxDelayTicks.
uint16_t DisplayDelay(double startMs, double endMs);

// Both fields of one entry and what had to give way (a set of TimingAdjustment bits). An entry that ends
// where it starts is an ordinary zero-length entry, not an adjustment.
struct PacketTiming {
  uint32_t pts90k = 0;
  uint16_t delayTicks = 0;
  unsigned adjustments = kTimingAsWritten;
  bool operator==(const PacketTiming&) const = default;

  // A stop delay of 0 (zero length, under half a tick, or an end before the start) gives a unit a player never
  // takes down: muxers give it no duration and it stays up until the next subtitle. Such an entry is not written.
  bool Shown() const { return delayTicks > 0; }
};
PacketTiming TimingFor(double startMs, double endMs);

// "SP", the presentation time little-endian, four zero bytes.
constexpr std::size_t kPacketHeaderBytes = 10;
std::array<uint8_t, kPacketHeaderBytes> BuildPacketHeader(uint32_t pts90k);

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

// The stop delay of a unit (its last control sequence's), lowered to `maxTicks` when it is longer. A delay of 0
// leaves the unit up until the next one replaces it. False, with the unit unchanged, when its control sequences
// cannot be followed within its bytes.
bool LimitStopDelay(std::span<uint8_t> unit, uint16_t maxTicks);

// Makes the unit's display forced (shown whether or not the viewer turned subtitles on): its first control
// sequence starts with "forced start" in place of "start". False, with the unit unchanged, when it does not start
// that way.
bool ForceDisplay(std::span<uint8_t> unit);

}  // namespace quillet
